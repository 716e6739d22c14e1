#pragma once

#include <QtGlobal>
#include <map>
#include <optional>

// Answer times at the log's resolution of 0.1 ms, kept as a count per value:
// a run of hours at 1 kHz costs memory by the number of distinct times, not
// by the number of answers.
class AnswerTimes
{
public:
    void Add(double ms);
    // The nearest-rank value at fraction p of the sorted times (p = 0.5 is the
    // median, 0.99 the 99th percentile); none without times.
    std::optional<double> Percentile(double p) const;
    std::optional<double> Min() const;
    std::optional<double> Max() const;

private:
    std::map<qint64, qint64> counts_; // tenths of a millisecond to how often
    qint64 count_ = 0;
};
