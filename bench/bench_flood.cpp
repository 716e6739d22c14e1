// Flood: the instrument streams 1 MB/s of text at the window under "As is" for 10 s. How much the
// window consumes, how long its event loop stalls, and how much its memory grows; then the same with
// the traffic window open and following.
#include "bench_common.h"
#include "instrument_process.h"
#include "live_window.h"
#include "process_meter.h"

#include "command/framing.h"
#include "traffic/traffic_window.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <ctime>

namespace
{

constexpr qint64 kRate = 1'000'000;
constexpr int kFloodMs = 10'000;

double ThreadCpuMs()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// What the instrument has written to its pseudo-terminal so far: every byte it handed to write(),
// less what it printed on stdout (its link) and stderr.
qint64 WrittenToLine(qint64 pid, InstrumentProcess& instrument)
{
    QFile io(QStringLiteral("/proc/%1/io").arg(pid));
    if (!io.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : io.readAll().split('\n'))
        if (line.startsWith("wchar:"))
            return line.mid(6).trimmed().toLongLong() - (QFile::encodeName(instrument.LinkPath()).size() + 1)
                - instrument.Errors().size();
    return -1;
}

// One flood against a fresh instrument, its figures named with `with` after them; with the traffic
// window open and following when `traffic`.
void Flood(bool traffic, const QString& with)
{
    InstrumentProcess instrument;
    if (!instrument.Start({ "--stream", QString::number(kRate) })) {
        std::printf("   the instrument did not start: %s\n", instrument.Errors().constData());
        return;
    }
    LiveWindow window(Com1Map(instrument.LinkPath(), instrument.Folder()), instrument.Folder());
    DurnixForm& f = window.Form();
    f.ComboProt->setCurrentIndex(AsIs);
    // The first paint is start-up, not flood: let it pass.
    f.show();
    if (!QTest::qWaitForWindowExposed(&f, 5000))
        std::printf("   the window was never exposed\n");
    if (traffic) {
        f.MenuTraffic->trigger();
        if (!f.Traffic || !QTest::qWaitForWindowExposed(f.Traffic, 5000))
            std::printf("   the traffic window was never exposed\n");
    }
    RunEventLoopFor(300);

    // A 1 ms timer notes every gap between its ticks: a long gap is the event loop stalled.
    // The main thread's CPU clock in a gap tells our own work from waiting for a core.
    std::vector<double> gaps;
    std::vector<double> gapsOwnCpu;
    gaps.reserve(kFloodMs * 2);
    gapsOwnCpu.reserve(kFloodMs * 2);
    QElapsedTimer sinceTick;
    double threadCpuAtTick = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const double threadCpu = ThreadCpuMs();
        gaps.push_back(double(sinceTick.nsecsElapsed()) / 1e6);
        gapsOwnCpu.push_back(threadCpu - threadCpuAtTick);
        sinceTick.restart();
        threadCpuAtTick = threadCpu;
    });
    qint64 peakRss = 0;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&] { peakRss = std::max(peakRss, ResidentBytes()); });

    const qint64 rssBefore = ResidentBytes();
    const qint64 readBefore = window.comm.bytesRead;
    const double cpuBefore = CpuSeconds();
    sinceTick.start();
    threadCpuAtTick = ThreadCpuMs();
    ticker.start(1);
    sampler.start(100);
    RunEventLoopFor(kFloodMs);
    ticker.stop();
    sampler.stop();
    const double cpu = CpuSeconds() - cpuBefore;
    const qint64 rssAfter = ResidentBytes();
    const qint64 consumed = window.comm.bytesRead - readBefore;

    // Pause the instrument and let the window drain the line: then everything the instrument has
    // written must have been consumed. The stop itself is left out, as bytes still on the line
    // when its far end closes are lost with the line.
    const qint64 pid = instrument.Pid();
    kill(pid_t(pid), SIGSTOP);
    for (qint64 before = -1; before != window.comm.bytesRead && f.MSComm1.portOpen();) {
        before = window.comm.bytesRead;
        RunEventLoopFor(200);
    }
    const qint64 written = WrittenToLine(pid, instrument);
    const qint64 consumedAtPause = window.comm.bytesRead;
    kill(pid_t(pid), SIGCONT);
    instrument.Stop();

    Figure(qPrintable(QString("consumed during the 10 s") + with),
        Mb(double(consumed))
            + QStringLiteral(" (%1 MB/s)").arg(double(consumed) / kFloodMs / 1e3, 0, 'f', 2));
    if (written >= 0)
        Figure(qPrintable(QString("consumed / sent, instrument paused") + with),
            QStringLiteral("%1 / %2 bytes").arg(consumedAtPause).arg(written),
            consumedAtPause == written ? "every byte" : "BYTES LEFT UNREAD");
    Figure(qPrintable(QString("event-loop stall p99") + with), Ms(Percentile(gaps, 0.99)), "target <= 33 ms");
    Figure(qPrintable(QString("event-loop stall max") + with), Ms(Percentile(gaps, 1.0)), "target <= 100 ms");
    const auto longest = std::max_element(gaps.begin(), gaps.end()) - gaps.begin();
    if (!gaps.empty())
        Figure(qPrintable(QString("  main thread's CPU clock in the longest") + with),
            Ms(gapsOwnCpu[std::size_t(longest)]));
    Figure(qPrintable(QString("largest chunk read at once") + with),
        QStringLiteral("%1 bytes").arg(window.comm.largestRead));
    Figure(qPrintable(QString("RSS growth (end - start)") + with), Mb(double(rssAfter - rssBefore)),
        "target <= 20 MB");
    Figure(qPrintable(QString("RSS growth (peak - start)") + with),
        Mb(double(std::max(peakRss, rssAfter) - rssBefore)));
    Figure(qPrintable(QString("CPU of the window process") + with),
        QString::number(cpu / kFloodMs * 1e5, 'f', 1) + " % of a core");
}

} // namespace

int main(int argc, char** argv)
{
    UseOffscreenWindows();
    QApplication app(argc, argv);
    Title("flood: \"As is\" at 1 MB/s for 10 s");
    Flood(false, {});
    Flood(true, QStringLiteral(", traffic window open"));
    return 0;
}
