#pragma once

#include "log/answer_times.h"

#include <QString>
#include <optional>

// How one answer ended, as its log record shows it.
struct AnswerOutcome {
    bool complete = false;
    bool checkError = false; // a VXB answer whose check byte did not match
    bool nak = false;
    std::optional<double> ms; // from the end of our packet on the line to the answer's last byte
    std::optional<double> turn; // from the same moment to its first byte
};

// The figures of one repeat run, from its first send to its last answer.
class RunStatistics
{
public:
    void Sent();
    // An answer to the latest send; answers before the run's first send are not its own.
    void Answered(const AnswerOutcome& outcome);
    qint64 Sends() const { return sends_; }
    // The answer times of the run's complete answers.
    const AnswerTimes& Times() const { return times_; }

    // "sends=.. complete=.. bccerr=.. nak=.. incomplete=.. unanswered=.. min=.. median=.. p99=.. max=..
    // turn_min=.. turn_median=.. turn_p99=.. turn_max=.."; the latest send counts as it stands. Times
    // are in milliseconds, "-" without any.
    QString Summary() const;

private:
    enum class Reply { None, Incomplete, Complete };
    void Count(Reply reply);

    qint64 sends_ = 0, complete_ = 0, checkErrors_ = 0, naks_ = 0;
    qint64 incompleteSends_ = 0, unansweredSends_ = 0;
    Reply latest_ = Reply::None;
    AnswerTimes times_;
    AnswerTimes turns_;
};
