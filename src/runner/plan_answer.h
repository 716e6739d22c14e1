#pragma once

#include "plan/plan.h"

#include <QByteArray>
#include <QString>
#include <optional>

// The answer to a plan's latest send, as its checks judge it.
struct PlanAnswer {
    QString command; // as the send step gave it
    bool sent = false; // false when the command could not be made into bytes
    bool anyByte = false; // some byte arrived before the answer ended or the time ran out
    bool complete = false; // the answer ended by the framing's rules within the time
    QByteArray bytes;
    QString text; // the interpreted display, without the line breaks it adds
    std::optional<double> ms; // the answer time
    qint64 timeoutMs = 0;
};

struct CheckVerdict {
    bool passed = false;
    QString reason; // why it failed
};

// One check of the plan against the latest answer.
CheckVerdict JudgeCheck(const PlanStep& check, const PlanAnswer& answer);

// A check as its plan line reads, as "match ^durnix".
QString CheckText(const PlanStep& check);
