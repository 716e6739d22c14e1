#pragma once

#include "log/run_statistics.h"
#include "log/traffic_record.h"

#include <QMap>
#include <QPointF>
#include <deque>

// The live figures of the line: those of the current repeat run (or the last one) and those since the
// port was opened, counted as the log's RUN record counts them; and the answer times of the run's
// latest answers, against their send number, for the chart.
class TrafficCounts
{
public:
    static constexpr int kChartedAnswers = 2000;

    void Add(const TrafficRecord& record);
    void RepeatSwitched(bool on);

    const RunStatistics& Run() const { return run_; }
    const RunStatistics& SincePort() const { return port_; }
    const std::deque<QPointF>& RunTimes() const { return times_; }

private:
    RunStatistics run_;
    RunStatistics port_;
    bool counting_ = false; // from the repeat's start to its RUN record
    std::deque<QPointF> times_;
};

// The figures of RunStatistics::Summary() by name: "sends" to "3", "median" to "1.5" or "-".
QMap<QString, QString> SummaryFigures(const QString& summary);
