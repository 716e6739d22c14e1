#pragma once

#include <QChartView>
#include <QPointF>
#include <deque>
#include <optional>

class QLineSeries;
class QScatterSeries;
class QValueAxis;

// A strip chart of the run's latest answer times against their send number, with the run's median
// as a line across it.
class AnswerChart : public QChartView
{
    Q_OBJECT
public:
    explicit AnswerChart(QWidget* parent = nullptr);

    void Show(const std::deque<QPointF>& times, std::optional<double> median);

private:
    QScatterSeries* times_;
    QLineSeries* median_;
    QValueAxis* sends_;
    QValueAxis* ms_;
};
