#include "common/interval_timer.h"

#include <algorithm>
#include <climits>

IntervalTimer::IntervalTimer(QObject* parent, Qt::TimerType type) : QObject(parent)
{
    timer_.setTimerType(type);
    connect(&timer_, &QTimer::timeout, this, &IntervalTimer::timeout);
}

void IntervalTimer::setInterval(qint64 milliseconds)
{
    interval_ = std::clamp<qint64>(milliseconds, 0, INT_MAX);
    Update();
}

void IntervalTimer::setEnabled(bool enabled)
{
    enabled_ = enabled;
    Update();
}

// Like a window timer, a change of interval while running starts the count anew.
void IntervalTimer::Update()
{
    if (enabled_ && interval_ > 0)
        timer_.start(int(interval_));
    else
        timer_.stop();
}
