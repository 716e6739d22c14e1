// WFR repeat at interval 0.001 s against the instrument answering at once: complete cycles per
// second, and whether any send or answer was lost or doubled on the way.
#include "bench_common.h"
#include "instrument_process.h"
#include "live_window.h"

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

} // namespace

int main(int argc, char** argv)
{
    UseOffscreenWindows();
    QApplication app(argc, argv);
    Title("WFR repeat at 0.001 s");

    InstrumentProcess instrument;
    if (!instrument.Start()) {
        std::printf("   the instrument did not start: %s\n", instrument.Errors().constData());
        return 0;
    }
    LiveWindow window(Com1Map(instrument.LinkPath(), instrument.Folder()), instrument.Folder());
    DurnixForm& f = window.Form();
    if (!f.MSComm1.portOpen()) {
        std::printf("   the port did not open: %s\n", qPrintable(window.portFailures.join("; ")));
        return 0;
    }
    window.Prepare(VxbWithBcc, "ID?");

    f.TextRepeat->setText("0.001");
    f.TextCount->setText(QString::number(kCycles));
    SetVbValue(f.CheckWaitForResponse, 1);
    QElapsedTimer clock;
    clock.start();
    SetVbValue(f.CheckRepeat, 1);
    const bool finished = RunUntil(
        f.CheckRepeat, &QCheckBox::stateChanged, [&] { return f.CheckRepeat->checkState() == Qt::Unchecked; },
        kCapMs);
    SetVbValue(f.CheckRepeat, 0);
    const int sends = finished ? kCycles : kCycles - f.TextCount->text().toInt();
    // The last send's answer completes its cycle.
    RunUntil(
        &window.comm, &MSComm::onComm, [&] { return window.completeAnswers >= sends; }, 2000);
    const double seconds = double(clock.nsecsElapsed()) / 1e9;

    const auto summary = ParseInstrumentSummary(instrument.Stop());
    Figure("cycles sent by the window", QString::number(sends) + (finished ? "" : " (stopped at the cap)"));
    Figure("complete cycles/s", QString::number(double(window.completeAnswers) / seconds, 'f', 0),
        "target >= 500/s (ceiling 1,000/s)");
    if (!summary) {
        Figure("instrument summary", "missing");
        return 0;
    }
    Figure("instrument received / answered",
        QStringLiteral("%1 / %2").arg(summary->received).arg(summary->answered));
    Figure("answers completed in the window", QString::number(window.completeAnswers));
    const bool exact = summary->received == sends && summary->answered == sends
        && window.completeAnswers == sends && summary->bytesOut == window.comm.bytesRead;
    Figure("lost or doubled", exact ? "none" : "MISMATCH", "target none");
    return 0;
}
