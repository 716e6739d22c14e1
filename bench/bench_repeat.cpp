// WFR repeat at interval 0.001 s against the instrument answering at once: complete cycles per
// second on a pseudo-terminal and through ser2net on 127.0.0.1, and whether any send or answer was
// lost or doubled on the way.
#include "bench_common.h"
#include "instrument_process.h"
#include "live_window.h"
#include "network_window.h"
#include "ser2net_process.h"

#include "app/vb_controls.h"
#include "command/framing.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QTimer>
#include <functional>

namespace
{

constexpr int kCycles = 10000;
constexpr int kCapMs = 30000;

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
    int sends = 0;
    bool finished = false;
    double seconds = 0;
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
    run.seconds = double(clock.nsecsElapsed()) / 1e9;
    return run;
}

void OnPseudoTerminal()
{
    InstrumentProcess instrument;
    if (!instrument.Start()) {
        std::printf("   the instrument did not start: %s\n", instrument.Errors().constData());
        return;
    }
    LiveWindow window(Com1Map(instrument.LinkPath(), instrument.Folder()), instrument.Folder());
    DurnixForm& f = window.Form();
    if (!f.MSComm1.portOpen()) {
        std::printf("   the port did not open: %s\n", qPrintable(window.portFailures.join("; ")));
        return;
    }
    window.Prepare(VxbWithBcc, "ID?");
    const RepeatRun run = Repeat(f, [&] { return window.completeAnswers; });

    const auto summary = ParseInstrumentSummary(instrument.Stop());
    Figure("cycles sent by the window",
        QString::number(run.sends) + (run.finished ? "" : " (stopped at the cap)"));
    Figure("complete cycles/s", QString::number(double(window.completeAnswers) / run.seconds, 'f', 0),
        "target >= 500/s (ceiling 1,000/s)");
    if (!summary) {
        Figure("instrument summary", "missing");
        return;
    }
    Figure("instrument received / answered",
        QStringLiteral("%1 / %2").arg(summary->received).arg(summary->answered));
    Figure("answers completed in the window", QString::number(window.completeAnswers));
    const bool exact = summary->received == run.sends && summary->answered == run.sends
        && window.completeAnswers == run.sends && summary->bytesOut == window.comm.bytesRead;
    Figure("lost or doubled", exact ? "none" : "MISMATCH", "target none");
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
    Figure("cycles sent through ser2net",
        QString::number(run.sends) + (run.finished ? "" : " (stopped at the cap)"));
    Figure("complete cycles/s through ser2net",
        QString::number(double(summary ? summary->answered : 0) / run.seconds, 'f', 0), "target >= 400/s");
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
    OnPseudoTerminal();
    ThroughSer2net();
    return 0;
}
