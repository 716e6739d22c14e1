#pragma once

#include <QEventLoop>
#include <QFile>
#include <QTimer>
#include <ctime>
#include <unistd.h>

// CPU time of the whole process (every thread, user and system), in seconds.
inline double CpuSeconds()
{
    return double(std::clock()) / CLOCKS_PER_SEC;
}

// Resident set size in bytes, from /proc/self/statm.
inline qint64 ResidentBytes()
{
    QFile statm("/proc/self/statm");
    return statm.open(QIODevice::ReadOnly)
        ? statm.readAll().split(' ').value(1).toLongLong() * sysconf(_SC_PAGESIZE)
        : 0;
}

// Runs the real event loop for a stretch of time, as the program itself would spend it.
inline void RunEventLoopFor(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}
