#include "traffic/traffic_counts.h"

namespace
{

void Count(RunStatistics& statistics, const TrafficRecord& record)
{
    if (record.record.event == QLatin1String("TX"))
        statistics.Sent();
    else if (record.outcome)
        statistics.Answered(*record.outcome);
}

bool OpensPort(const TrafficRecord& record)
{
    return record.record.event == QLatin1String("PORT")
        && record.record.text.startsWith(QLatin1String("open "));
}

} // namespace

void TrafficCounts::Add(const TrafficRecord& record)
{
    if (OpensPort(record))
        port_ = {};
    if (record.record.event == QLatin1String("RUN"))
        counting_ = false;
    Count(port_, record);
    if (!counting_)
        return;
    Count(run_, record);
    const std::optional<AnswerOutcome>& outcome = record.outcome;
    if (outcome && outcome->complete && outcome->ms && run_.Sends() > 0) {
        times_.emplace_back(double(run_.Sends()), *outcome->ms);
        if (times_.size() > kChartedAnswers)
            times_.pop_front();
    }
}

void TrafficCounts::RepeatSwitched(bool on)
{
    if (!on || counting_)
        return;
    run_ = {};
    times_.clear();
    counting_ = true;
}

QMap<QString, QString> SummaryFigures(const QString& summary)
{
    QMap<QString, QString> figures;
    for (const QString& pair : summary.split(u' ', Qt::SkipEmptyParts)) {
        const qsizetype equals = pair.indexOf(u'=');
        if (equals > 0)
            figures.insert(pair.left(equals), pair.mid(equals + 1));
    }
    return figures;
}
