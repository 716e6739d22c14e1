// Stream: a raw TCP source sends text at 10 MB/s to the window's socket:// port under "As is" for 10 s.
// How much the window consumes, how long its event loop stalls, and how much its memory grows.
#include "bench_common.h"
#include "network_window.h"
#include "process_meter.h"
#include "stream_server.h"

#include "command/framing.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace
{

constexpr qint64 kRate = 10'000'000;
constexpr int kStreamMs = 10'000;

struct Measured {
    std::vector<double> gaps; // between the ticks of a 1 ms timer: a long one is the event loop stalled
    qint64 rssBefore = 0, rssAfter = 0, rssPeak = 0, consumed = 0;
};

Measured Measure(const CountingNetworkComm& port)
{
    Measured m;
    m.gaps.reserve(kStreamMs * 2);
    QElapsedTimer sinceTick;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        m.gaps.push_back(double(sinceTick.nsecsElapsed()) / 1e6);
        sinceTick.restart();
    });
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&] { m.rssPeak = std::max(m.rssPeak, ResidentBytes()); });
    m.rssBefore = ResidentBytes();
    const qint64 readBefore = port.bytesRead;
    sinceTick.start();
    ticker.start(1);
    sampler.start(100);
    RunEventLoopFor(kStreamMs);
    m.rssAfter = ResidentBytes();
    m.consumed = port.bytesRead - readBefore;
    return m;
}

// The window on a source that hands over a tick's text at once.
void Stream(const char* label, int tickMs)
{
    std::printf("   %s\n", label);
    StreamServer server(kRate, tickMs);
    QTemporaryDir folder;
    NetworkWindow window(QStringLiteral("socket://127.0.0.1:%1").arg(server.Port()), folder.path());
    DurnixForm& f = window.Form();
    if (!f.MSComm1.portOpen()) {
        std::printf("   the port did not open: %s\n", qPrintable(window.portFailures.join("; ")));
        return;
    }
    f.ComboProt->setCurrentIndex(AsIs);
    // The first paint is start-up, not stream: let it pass.
    f.show();
    if (!QTest::qWaitForWindowExposed(&f, 5000))
        std::printf("   the window was never exposed\n");
    RunEventLoopFor(300);

    const Measured m = Measure(window.network);
    // The source stops adding text; once the window has taken what is on its way, it must have taken
    // every byte the source sent.
    server.Pause();
    for (qint64 before = -1; before != window.network.bytesRead && f.MSComm1.portOpen();) {
        before = window.network.bytesRead;
        RunEventLoopFor(tickMs + 200);
    }

    Figure("consumed during the 10 s",
        Mb(double(m.consumed))
            + QStringLiteral(" (%1 MB/s)").arg(double(m.consumed) / kStreamMs / 1e3, 0, 'f', 2));
    Figure("consumed / sent, source paused",
        QStringLiteral("%1 / %2 bytes").arg(window.network.bytesRead).arg(server.Sent()),
        window.network.bytesRead == server.Sent() ? "every byte" : "BYTES LEFT UNREAD");
    Figure("event-loop stall p99", Ms(Percentile(m.gaps, 0.99)), "target <= 16 ms");
    Figure("event-loop stall max", Ms(Percentile(m.gaps, 1.0)), "target <= 100 ms");
    Figure("largest chunk read at once", QStringLiteral("%1 bytes").arg(window.network.largestRead));
    Figure("RSS growth (end - start)", Mb(double(m.rssAfter - m.rssBefore)), "target <= 50 MB");
    Figure("RSS growth (peak - start)", Mb(double(std::max(m.rssPeak, m.rssAfter) - m.rssBefore)));
}

} // namespace

int main(int argc, char** argv)
{
    UseOffscreenWindows();
    QApplication app(argc, argv);
    Title("stream: socket:// at 10 MB/s for 10 s");
    Stream("steady, 100 kB every 10 ms:", 10);
    Stream("in bursts, 10 MB at once every second:", 1000);
    return 0;
}
