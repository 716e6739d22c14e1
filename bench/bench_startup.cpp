// Start-up to the window shown, memory after start-up, and the cost of idling with the port open.
#include "bench_common.h"
#include "instrument_process.h"
#include "live_window.h"
#include "process_meter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>

namespace
{

constexpr int kIdleMs = 5000;

} // namespace

int main(int argc, char** argv)
{
    QElapsedTimer sinceMain;
    sinceMain.start();
    UseOffscreenWindows();
    QApplication app(argc, argv);
    const double applicationMs = double(sinceMain.nsecsElapsed()) / 1e6;
    Title("start-up and idle");

    // The instrument is only the port's far end; starting it is not part of the window's start-up.
    InstrumentProcess instrument;
    if (!instrument.Start()) {
        std::printf("   the instrument did not start: %s\n", instrument.Errors().constData());
        return 0;
    }
    QElapsedTimer clock;
    clock.start();
    LiveWindow window(Com1Map(instrument.LinkPath(), instrument.Folder()), instrument.Folder());
    DurnixForm& f = window.Form();
    const double constructedMs = double(clock.nsecsElapsed()) / 1e6;
    f.show();
    const bool exposed = QTest::qWaitForWindowExposed(&f, 5000);
    const double shownMs = double(clock.nsecsElapsed()) / 1e6;
    const qint64 rss = ResidentBytes();

    Figure("QApplication created", Ms(applicationMs));
    Figure("window constructed, port open", Ms(constructedMs));
    Figure("window shown", Ms(shownMs) + (exposed ? "" : " (not exposed)"));
    Figure("start-up to the window shown, in all", Ms(applicationMs + shownMs), "target <= 300 ms");
    Figure("RSS after start-up", Mb(double(rss)), "target <= 60 MB");

    const double cpuBefore = CpuSeconds();
    RunEventLoopFor(kIdleMs);
    const double cpu = CpuSeconds() - cpuBefore;
    Figure("idle with the port open, over 5 s", QString::number(cpu / kIdleMs * 1e5, 'f', 2) + " % of a core",
        f.MSComm1.portOpen() ? "target <= 1 %" : "(port closed!)");
    return 0;
}
