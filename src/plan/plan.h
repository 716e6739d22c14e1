#pragma once

#include <QByteArray>
#include <QString>
#include <variant>
#include <vector>

// A test plan as read from its file: a list of steps, each with the line it stands on. The reader
// has checked every step, so a runner acts on them without checking again.
struct PlanStep {
    enum class Kind {
        Port, // text: COMn, a device path or a URL
        Settings, // text: the port settings text, as "9600,N,8,1"
        Protocol, // number: the list position 0 to 7
        Address, // number: the address as the window's address box reads it
        Hex, // on
        Disp, // on
        National, // on
        Dtr, // on
        Rts, // on
        AutoRts, // on
        Break,
        Timeout, // number: milliseconds
        Quiet, // number: milliseconds
        Send, // text: the command, exactly as it would stand in the command box
        Expect, // text: the interpreted answer
        Match, // text: the regular expression (already known to be valid)
        ExpectHex, // bytes: the raw answer
        ExpectNone,
        Wait, // number: milliseconds
        Repeat, // number: times; body: the steps up to the matching end
    };
    Kind kind = Kind::Send;
    int line = 0; // 1-based line in the plan file
    QString text;
    qint64 number = 0;
    bool on = false;
    QByteArray bytes;
    std::vector<PlanStep> body;

    bool IsCheck() const
    {
        return kind == Kind::Expect || kind == Kind::Match || kind == Kind::ExpectHex
            || kind == Kind::ExpectNone;
    }
};

struct Plan {
    std::vector<PlanStep> steps;
};

// What is wrong with a plan, and on which line (1-based; the last line + 1 for a missing end).
struct PlanMistake {
    int line = 0;
    QString message;
};

// Reads a whole plan file: UTF-8, or Windows-1252 where the bytes are not UTF-8.
std::variant<Plan, PlanMistake> ReadPlan(const QByteArray& fileBytes);
