#include "log/answer_times.h"

#include <algorithm>
#include <cmath>

namespace
{

constexpr double kTenthsPerMs = 10.0;

double Ms(qint64 tenths)
{
    return double(tenths) / kTenthsPerMs;
}

} // namespace

void AnswerTimes::Add(double ms)
{
    ++counts_[std::llround(std::max(0.0, ms) * kTenthsPerMs)];
    ++count_;
}

std::optional<double> AnswerTimes::Percentile(double p) const
{
    if (count_ == 0)
        return std::nullopt;
    const qint64 rank = std::clamp<qint64>(qint64(std::ceil(p * double(count_) - 1e-9)), 1, count_);
    qint64 seen = 0;
    for (const auto& [tenths, count] : counts_) {
        seen += count;
        if (seen >= rank)
            return Ms(tenths);
    }
    return Ms(counts_.rbegin()->first);
}

std::optional<double> AnswerTimes::Min() const
{
    return count_ == 0 ? std::nullopt : std::optional(Ms(counts_.begin()->first));
}

std::optional<double> AnswerTimes::Max() const
{
    return count_ == 0 ? std::nullopt : std::optional(Ms(counts_.rbegin()->first));
}
