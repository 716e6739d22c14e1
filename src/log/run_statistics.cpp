#include "log/run_statistics.h"

#include "log/log_format.h"

#include <QStringList>

namespace
{

QString Time(const std::optional<double>& ms)
{
    return ms ? LogMs(*ms) : QStringLiteral("-");
}

// "min=.. median=.. p99=.. max=..", each name after `prefix`.
QStringList Spread(const AnswerTimes& times, const QString& prefix)
{
    return { prefix + QStringLiteral("min=") + Time(times.Min()),
        prefix + QStringLiteral("median=") + Time(times.Percentile(0.5)),
        prefix + QStringLiteral("p99=") + Time(times.Percentile(0.99)),
        prefix + QStringLiteral("max=") + Time(times.Max()) };
}

} // namespace

void RunStatistics::Sent()
{
    if (sends_ > 0)
        Count(latest_);
    ++sends_;
    latest_ = Reply::None;
}

void RunStatistics::Answered(const AnswerOutcome& outcome)
{
    if (sends_ == 0)
        return;
    if (!outcome.complete) {
        if (latest_ == Reply::None)
            latest_ = Reply::Incomplete;
        return;
    }
    latest_ = Reply::Complete;
    ++complete_;
    checkErrors_ += outcome.checkError;
    naks_ += outcome.nak;
    if (outcome.ms)
        times_.Add(*outcome.ms);
    if (outcome.turn)
        turns_.Add(*outcome.turn);
}

void RunStatistics::Count(Reply reply)
{
    incompleteSends_ += reply == Reply::Incomplete;
    unansweredSends_ += reply == Reply::None;
}

QString RunStatistics::Summary() const
{
    const bool waiting = sends_ > 0;
    const qint64 incomplete = incompleteSends_ + (waiting && latest_ == Reply::Incomplete);
    const qint64 unanswered = unansweredSends_ + (waiting && latest_ == Reply::None);
    return (QStringList {
                QStringLiteral("sends=%1").arg(sends_),
                QStringLiteral("complete=%1").arg(complete_),
                QStringLiteral("bccerr=%1").arg(checkErrors_),
                QStringLiteral("nak=%1").arg(naks_),
                QStringLiteral("incomplete=%1").arg(incomplete),
                QStringLiteral("unanswered=%1").arg(unanswered),
            }
        + Spread(times_, {}) + Spread(turns_, QStringLiteral("turn_")))
        .join(u' ');
}
