#pragma once

#include <QObject>
#include <QTimer>

// A window timer as the handlers expect it: it fires only while it is enabled
// and its interval is above 0. A plain QTimer with interval 0 would fire on
// every turn of the event loop instead of never.
class IntervalTimer : public QObject {
    Q_OBJECT
public:
    explicit IntervalTimer(QObject* parent = nullptr, Qt::TimerType type = Qt::CoarseTimer);

    // Milliseconds; anything above the range of a QTimer is held at its maximum.
    void setInterval(qint64 milliseconds);
    qint64 interval() const { return interval_; }
    void setEnabled(bool enabled);
    bool isEnabled() const { return enabled_; }
    bool isTicking() const { return timer_.isActive(); }

signals:
    void timeout();

private:
    void Update();

    QTimer timer_;
    qint64 interval_ = 0;
    bool enabled_ = false;
};
