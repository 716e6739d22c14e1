#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <vector>

// Benchmarks draw their windows offscreen, whatever the desktop, so that they run anywhere and
// no window pops up in front of the operator.
inline void UseOffscreenWindows()
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
}

// The value at fraction p (0 to 1) of the sorted samples, nearest rank.
inline double Percentile(std::vector<double> samples, double p)
{
    if (samples.empty())
        return 0;
    std::sort(samples.begin(), samples.end());
    const auto rank
        = std::clamp<std::size_t>(std::size_t(p * double(samples.size()) + 0.5), 1, samples.size());
    return samples[rank - 1];
}

inline QString Machine()
{
    QFile cpuinfo("/proc/cpuinfo");
    QByteArray model = "unknown CPU";
    if (cpuinfo.open(QIODevice::ReadOnly))
        for (const QByteArray& line : cpuinfo.readAll().split('\n'))
            if (line.startsWith("model name")) {
                model = line.mid(line.indexOf(':') + 1).trimmed();
                break;
            }
    return QStringLiteral("%1, %2 cores").arg(QString::fromLatin1(model)).arg(QThread::idealThreadCount());
}

// Other work on the machine stretches every figure; the load average says how much there was.
inline QString LoadAverage()
{
    QFile loadavg("/proc/loadavg");
    return loadavg.open(QIODevice::ReadOnly) ? QString::fromLatin1(loadavg.readAll().split(' ').value(0))
                                             : QString("?");
}

inline void Title(const char* what)
{
    std::printf("== %s (%s, load average %s)\n", what, qPrintable(Machine()), qPrintable(LoadAverage()));
    std::fflush(stdout);
}

// One labelled figure per line: the label, the value and what we aim for.
inline void Figure(const char* label, const QString& value, const char* target = "")
{
    std::printf("   %-44s %-28s %s\n", label, qPrintable(value), target);
    std::fflush(stdout);
}

inline QString Ms(double milliseconds)
{
    return QString::number(milliseconds, 'f', 3) + " ms";
}

inline QString Mb(double bytes)
{
    return QString::number(bytes / 1e6, 'f', 2) + " MB";
}
