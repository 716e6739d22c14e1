#include "traffic/answer_chart.h"

#include <QLineSeries>
#include <QScatterSeries>
#include <QValueAxis>
#include <algorithm>

AnswerChart::AnswerChart(QWidget* parent)
    : QChartView(parent)
    , times_(new QScatterSeries)
    , median_(new QLineSeries)
    , sends_(new QValueAxis)
    , ms_(new QValueAxis)
{
    auto* chart = new QChart;
    chart->setMargins({ 2, 2, 2, 2 });
    chart->legend()->setAlignment(Qt::AlignTop);
    times_->setName(QStringLiteral("answer time, ms"));
    times_->setMarkerSize(4);
    times_->setBorderColor(Qt::transparent);
    median_->setName(QStringLiteral("median"));
    sends_->setTitleText(QStringLiteral("send"));
    sends_->setLabelFormat(QStringLiteral("%d"));
    ms_->setTitleText(QStringLiteral("ms"));
    chart->addSeries(times_);
    chart->addSeries(median_);
    chart->addAxis(sends_, Qt::AlignBottom);
    chart->addAxis(ms_, Qt::AlignLeft);
    for (QAbstractSeries* series :
        { static_cast<QAbstractSeries*>(times_), static_cast<QAbstractSeries*>(median_) }) {
        series->attachAxis(sends_);
        series->attachAxis(ms_);
    }
    setChart(chart);
    setMinimumHeight(170);
}

void AnswerChart::Show(const std::deque<QPointF>& times, std::optional<double> median)
{
    const QList<QPointF> points(times.begin(), times.end());
    times_->replace(points);
    const double first = points.isEmpty() ? 0 : points.front().x();
    // At least four sends wide, so that the five whole-number ticks of a short run are all different.
    const double last = std::max(first + 4, points.isEmpty() ? 0 : points.back().x());
    double top = median.value_or(0);
    for (const QPointF& point : points)
        top = std::max(top, point.y());
    sends_->setRange(first, last);
    ms_->setRange(0, top > 0 ? top * 1.1 : 1);
    median_->replace(median ? QList<QPointF> { { first, *median }, { last, *median } } : QList<QPointF> {});
}
