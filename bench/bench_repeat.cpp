// WFR repeat at interval 0.001 s against the instrument answering at once: complete cycles per
// second, and whether any send or answer was lost or doubled on the way; then the same with the
// traffic log running, which must keep at least 90 % of that rate, the same with the traffic window
// open and following, and through ser2net on 127.0.0.1.
#include "bench_common.h"
#include "instrument_process.h"
#include "live_window.h"
#include "network_window.h"
#include "ser2net_process.h"

#include "app/vb_controls.h"
#include "command/framing.h"
#include "traffic/traffic_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

namespace
{

constexpr int kCycles = 10000;
constexpr int kCapMs = 30000;
constexpr int kRounds = 2;

// Runs the event loop until done() holds, checked whenever `changed` fires and on a slow
// timer, or until the cap; returns whether done() held.
template <typename Sender, typename Signal>
bool RunUntil(const Sender* sender, Signal changed, const std::function<bool()>& done, int capMs)
{
    QEventLoop loop;
    QObject::connect(sender, changed, &loop, [&] {
        if (done())
            loop.quit();
    });
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    poll.start(50);
    QTimer::singleShot(capMs, &loop, &QEventLoop::quit);
    if (!done())
        loop.exec();
    return done();
}

struct RepeatRun {
    bool finished = false;
    int sends = 0;
    double cyclesPerSecond = 0;
    bool exact = false;
    qint64 logBytes = 0;
};

// Repeats ID? with WFR until kCycles sends or the cap; `completed` counts the answers so far.
RepeatRun Repeat(DurnixForm& f, const std::function<int()>& completed)
{
    f.TextRepeat->setText("0.001");
    f.TextCount->setText(QString::number(kCycles));
    SetVbValue(f.CheckWaitForResponse, 1);
    QElapsedTimer clock;
    clock.start();
    SetVbValue(f.CheckRepeat, 1);
    RepeatRun run;
    run.finished = RunUntil(
        f.CheckRepeat, &QCheckBox::stateChanged, [&] { return f.CheckRepeat->checkState() == Qt::Unchecked; },
        kCapMs);
    SetVbValue(f.CheckRepeat, 0);
    run.sends = run.finished ? kCycles : kCycles - f.TextCount->text().toInt();
    // The last send's answer completes its cycle.
    RunUntil(
        &f.MSComm1, &MSComm::onComm, [&] { return completed() >= run.sends; }, 2000);
    run.cyclesPerSecond = double(completed()) * 1e9 / double(clock.nsecsElapsed());
    return run;
}

bool OpenTraffic(DurnixForm& f)
{
    f.MenuTraffic->trigger();
    if (f.Traffic && QTest::qWaitForWindowExposed(f.Traffic, 5000))
        return true;
    std::printf("   the traffic window did not show\n");
    return false;
}

// One run of kCycles against a fresh instrument; with a log into `logPath` unless it is empty, and
// with the traffic window open and following when `traffic`.
std::optional<RepeatRun> Run(const QString& logPath, bool traffic = false)
{
    InstrumentProcess instrument;
    if (!instrument.Start()) {
        std::printf("   the instrument did not start: %s\n", instrument.Errors().constData());
        return std::nullopt;
    }
    LiveWindow window(Com1Map(instrument.LinkPath(), instrument.Folder()), instrument.Folder());
    DurnixForm& f = window.Form();
    if (!f.MSComm1.portOpen()) {
        std::printf("   the port did not open: %s\n", qPrintable(window.portFailures.join("; ")));
        return std::nullopt;
    }
    if (!logPath.isEmpty() && !f.StartLog(logPath))
        return std::nullopt;
    if (traffic && !OpenTraffic(f))
        return std::nullopt;
    window.Prepare(VxbWithBcc, "ID?");
    int completed = 0;
    QObject::connect(&window.comm, &MSComm::onComm,
        [&] { completed += window.comm.commEvent() == MSComm::comEvReceive && f.ResponseState == 2; });
    RepeatRun run = Repeat(f, [&] { return completed; });
    f.StopLog();
    run.logBytes = logPath.isEmpty() ? 0 : QFileInfo(logPath).size();

    const auto summary = ParseInstrumentSummary(instrument.Stop());
    run.exact = summary && summary->received == run.sends && summary->answered == run.sends
        && completed == run.sends && summary->bytesOut == window.comm.bytesRead;
    return run;
}

QString Rate(const RepeatRun& run)
{
    return QString::number(run.cyclesPerSecond, 'f', 0) + (run.finished ? "" : " (stopped at the cap)");
}

// The same through ser2net (RFC 2217) on 127.0.0.1 in front of the instrument's pseudo-terminal.
void ThroughSer2net()
{
    InstrumentProcess instrument;
    Ser2netProcess server;
    if (!instrument.Start() || !server.Start(instrument.LinkPath())) {
        std::printf("   the instrument or ser2net did not start: %s\n", server.Errors().constData());
        return;
    }
    NetworkWindow window(server.Url(), instrument.Folder());
    DurnixForm& f = window.Form();
    if (!f.MSComm1.portOpen()) {
        std::printf("   the port did not open: %s\n", qPrintable(window.portFailures.join("; ")));
        return;
    }
    window.Prepare(VxbWithBcc, "ID?");
    int completed = 0;
    QObject::connect(&f.MSComm1, &MSComm::onComm, [&] { completed += f.ResponseState == 2 ? 1 : 0; });
    const RepeatRun run = Repeat(f, [&] { return completed; });
    const auto summary = ParseInstrumentSummary(instrument.Stop());
    Figure("cycles sent through ser2net", QString::number(run.sends));
    Figure("complete cycles/s through ser2net", Rate(run), "target >= 400/s");
    Figure("lost or doubled through ser2net",
        summary && summary->received == run.sends && summary->answered == run.sends ? "none" : "MISMATCH",
        "target none");
}

} // namespace

int main(int argc, char** argv)
{
    UseOffscreenWindows();
    QApplication app(argc, argv);
    Title("WFR repeat at 0.001 s");
    QTemporaryDir logFolder;

    // Rounds alternate, and the best of each kind counts: other work on the machine only slows.
    std::optional<RepeatRun> plain, logged, watched;
    const auto keepBest = [](std::optional<RepeatRun>& best, const RepeatRun& run) {
        if (!best || run.cyclesPerSecond > best->cyclesPerSecond)
            best = run;
    };
    for (int round = 0; round < kRounds; ++round) {
        const auto without = Run({});
        const auto with = Run(logFolder.filePath(QStringLiteral("repeat%1.log").arg(round)));
        const auto traffic = Run({}, true);
        if (!without || !with || !traffic)
            return 0;
        keepBest(plain, *without);
        keepBest(logged, *with);
        keepBest(watched, *traffic);
    }
    Figure("cycles sent by the window", QString::number(plain->sends));
    Figure("complete cycles/s", Rate(*plain), "target >= 500/s (ceiling 1,000/s)");
    Figure("lost or doubled", plain->exact ? "none" : "MISMATCH", "target none");
    Figure("complete cycles/s with the traffic log", Rate(*logged),
        qPrintable(QStringLiteral("%1 % of the rate without (target >= 90 %)")
                       .arg(100 * logged->cyclesPerSecond / plain->cyclesPerSecond, 0, 'f', 0)));
    Figure("log written", Mb(double(logged->logBytes)));
    Figure("lost or doubled with the log", logged->exact ? "none" : "MISMATCH", "target none");
    Figure("complete cycles/s with the traffic window", Rate(*watched),
        qPrintable(QStringLiteral("%1 % of the rate without (target >= 90 %)")
                       .arg(100 * watched->cyclesPerSecond / plain->cyclesPerSecond, 0, 'f', 0)));
    Figure("lost or doubled with the traffic window", watched->exact ? "none" : "MISMATCH", "target none");
    ThroughSer2net();
    return 0;
}
