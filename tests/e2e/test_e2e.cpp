// The real window and serial port against the virtual instrument and against misbehaving devices.
#include "instrument_process.h"
#include "live_window.h"
#include "process_meter.h"

#include "app/display_label.h"
#include "app/vb_controls.h"
#include "command/framing.h"
#include "response/receiver.h"
#include "row_names.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace
{

using namespace ::testing;

const QString kIdentity
    = QStringLiteral("durnix-instrument %1.%2").arg(DURNIX_VERSION_MAJOR).arg(DURNIX_VERSION_MINOR);

// Waits for a complete answer shown as `text`.
AssertionResult Shows(DurnixForm& f, const QString& text)
{
    if (QTest::qWaitFor([&] { return f.ResponseState == 2 && f.TextInput->text() == text; }, 5000))
        return AssertionSuccess();
    return AssertionFailure() << "state " << f.ResponseState
                              << ", shown: " << f.TextInput->text().toStdString();
}

// The instrument, started with `options`, and the window with it on COM1; the log goes into its folder.
struct Rig {
    explicit Rig(const QStringList& options = {})
        : started(instrument.Start(options))
    {
    }
    AssertionResult Open()
    {
        if (!started)
            return AssertionFailure() << instrument.Errors().constData();
        if (!f.MSComm1.portOpen())
            return AssertionFailure() << window.portFailures.join('\n').toStdString();
        return AssertionSuccess();
    }
    AssertionResult OpenLogged()
    {
        const AssertionResult open = Open();
        return !open || f.StartLog(instrument.Folder() + "/line.log") ? open : AssertionFailure() << "no log";
    }
    // The records of `event` with the log stopped, so that all are written; each without its time.
    QStringList Records(const QString& event)
    {
        f.StopLog();
        QFile file(instrument.Folder() + "/line.log");
        QStringList records;
        for (const QString& line :
            file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).split('\n') : QStringList())
            if (line.section('\t', 1, 1) == event)
                records << line.section('\t', 2);
        return records;
    }
    void StartRepeat(const char* interval, bool waitForResponse, const char* count = "")
    {
        window.Prepare(VxbWithBcc, "ID?");
        f.TextRepeat->setText(interval);
        f.TextCount->setText(count);
        SetVbValue(f.CheckWaitForResponse, waitForResponse ? 1 : 0);
        SetVbValue(f.CheckRepeat, 1);
    }
    // Picks COM1 again and talks to the instrument on it.
    void RepickAndTalk()
    {
        emit f.ComboPort->activated(0);
        window.Send(VxbWithBcc, "ECHO again");
        EXPECT_TRUE(Shows(f, "again"));
    }

    InstrumentProcess instrument;
    bool started;
    LiveWindow window { Com1Map(instrument.LinkPath(), instrument.Folder()), instrument.Folder() };
    DurnixForm& f = window.Form();
};

// A packet without its check byte is answered only once the line has been quiet long enough.
TEST(Instrument, VxbNoBccGetsNakAfterTheMissingByteTimesOut)
{
    Rig r;
    ASSERT_TRUE(r.Open());
    r.window.Send(VxbNoBcc, "ID?");
    EXPECT_TRUE(Shows(r.f, "<NAK>"));
}

struct SendCase {
    const char* name;
    QStringList options;
    QString answer; // as recorded; empty: no record at all
    double atLeastMs;
    DURNIX_PRINTS_ITS_NAME(SendCase)
};

using LoggedSend = TestWithParam<SendCase>;

TEST_P(LoggedSend, RecordsThePacketAndTheAnswerWithItsTime)
{
    const SendCase& c = GetParam();
    Rig r(c.options);
    ASSERT_TRUE(r.OpenLogged());
    r.window.Prepare(VxbWithBcc, "ID?");
    r.f.CommandSend->click();
    ASSERT_TRUE(c.answer.isEmpty() || QTest::qWaitFor([&] { return r.f.ResponseState == 2; }, 5000));
    // It reports on stdout only when it stops cleanly, and takes its link with it: then it has answered
    // all it ever will.
    const InstrumentSummary summary
        = ParseInstrumentSummary(r.instrument.Stop()).value_or(InstrumentSummary {});
    // A silent one may be stopped before the packet reached it.
    EXPECT_TRUE(c.answer.isEmpty() || (summary.received == 1 && summary.answered == 1))
        << summary.received << ' ' << summary.answered;
    EXPECT_FALSE(QFileInfo(r.instrument.LinkPath()).isSymLink());
    EXPECT_EQ(r.Records("TX"), QStringList("80 49 44 3F 03 31\tID?\t"));
    const QStringList answers = r.Records("RX");
    ASSERT_EQ(answers.size(), c.answer.isEmpty() ? 0 : 1) << answers.join('\n').toStdString();
    if (!answers.isEmpty()) {
        EXPECT_EQ(answers[0].section('\t', 1, 1), c.answer);
        EXPECT_GE(answers[0].section('\t', 2).toDouble(), c.atLeastMs) << answers[0].toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Instrument, LoggedSend,
    Values(SendCase { "VxbAnswerAfterTheDelay", { "--delay", "40" }, kIdentity, 40 },
        SendCase { "VxbCheckError", { "--bad-check" }, kIdentity + "<BCCERR>", 0 },
        SendCase { "NoAnswer", { "--silent" }, {}, 0 }),
    ByName);

// Answers slower than the interval: only waiting keeps the sends from overtaking them.
TEST(LoggedRepeat, WfrRunRecordsEveryCycleAndThenOneSummary)
{
    Rig r({ "--delay", "15" });
    ASSERT_TRUE(r.OpenLogged());
    r.StartRepeat("0.001", true, "20");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !IsSet(r.f.CheckRepeat) && r.f.ResponseState == 2; }, 10000));
    EXPECT_EQ(r.Records("TX").size(), 20);
    const QStringList answers = r.Records("RX");
    ASSERT_EQ(answers.size(), 20);
    const QStringList runs = r.Records("RUN");
    ASSERT_EQ(runs.size(), 1);
    EXPECT_TRUE(runs[0].startsWith("\tsends=20 complete=20 bccerr=0 nak=0 incomplete=0 unanswered=0 min="))
        << runs[0].toStdString();
    // On a loaded machine the window can be descheduled between a write and its time stamp, which
    // shortens that one cycle's time; the run's median still shows the instrument's delay.
    const QString median = runs[0].section("median=", 1).section(' ', 0, 0);
    EXPECT_GE(median.toDouble(), 15) << runs[0].toStdString();
    r.RepickAndTalk(); // closing the port is no hang-up for the instrument
}

// Where the kill falls: during a long send, a repeat, a repeat waiting for its answer, a break.
struct VanishCase {
    const char* name;
    char during;
    QStringList options;
    DURNIX_PRINTS_ITS_NAME(VanishCase)
};

using DeviceVanishes = TestWithParam<VanishCase>;

// The port closes at once, repetition ends, nothing spins, and a restarted device talks again.
TEST_P(DeviceVanishes, During)
{
    const VanishCase& c = GetParam();
    Rig r(c.options);
    ASSERT_TRUE(r.Open());
    QElapsedTimer sinceKill;
    QString breakCaption;
    qint64 closedAfterMs = -1;
    QObject::connect(
        &r.window.comm, &MSComm::portLost, &r.window.comm, [&] { closedAfterMs = sinceKill.elapsed(); });

    const auto kill = [&] {
        breakCaption = r.f.CommandBreak->text();
        sinceKill.start();
        r.instrument.Kill();
    };
    if (c.during == 'B') {
        // The break's wait runs the event loop itself: the kill and the loss happen inside it.
        QTimer::singleShot(0, &r.f, [&r] { r.f.CommandBreak_Click(); });
        QTimer::singleShot(200, &r.f, kill);
    } else if (c.during == 'S') {
        // Most of a long packet is still queued in the port when the device goes.
        r.window.Send(AsIs, QString(100'000, u'A'));
        kill();
    } else {
        r.StartRepeat("0.02", c.during == 'W');
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return r.window.completeAnswers >= 2 && (c.during == 'R' || r.f.ResponseState == 0); },
            5000));
        kill();
    }
    if (HasFatalFailure())
        return;
    ASSERT_TRUE(QTest::qWaitFor([&] { return sinceKill.isValid() && !r.f.MSComm1.portOpen(); }, 5000));
    EXPECT_EQ(breakCaption, c.during == 'B' ? "&Break!" : "&Break")
        << "the kill missed the moment it was meant for";
    EXPECT_TRUE(QTest::qWaitFor([&] { return r.f.CommandBreak->text() == "&Break"; }, 5000));
    EXPECT_TRUE(closedAfterMs >= 0 && closedAfterMs < 500) << closedAfterMs;
    // The break's end, refused on the closed port, names its own failure last.
    EXPECT_TRUE(c.during == 'B'
        || r.window.comm.errorText().endsWith(
            ": the device went away (unplugged, or closed at the other end); the port was closed."))
        << r.window.comm.errorText().toStdString();

    // A port left retrying the dead device would burn a core here.
    const double cpuBefore = CpuSeconds();
    RunEventLoopFor(1000);
    EXPECT_LT(CpuSeconds() - cpuBefore, 0.15);
    EXPECT_FALSE(r.f.MSComm1.portOpen());
    // The loss ends repetition with one beep and no failure box.
    EXPECT_EQ(r.f.CheckRepeat->checkState(), Qt::Unchecked);
    EXPECT_EQ(r.window.beeps, 1);
    EXPECT_TRUE(r.window.portFailures.isEmpty()) << r.window.portFailures.join('\n').toStdString();

    ASSERT_TRUE(r.instrument.Start(c.options)) << "over the link the killed one left behind";
    r.RepickAndTalk();
}

// Slow answers, so that the kill falls while a send waits for its answer.
INSTANTIATE_TEST_SUITE_P(Instrument, DeviceVanishes,
    Values(VanishCase { "Send", 'S', {} }, VanishCase { "Repeat", 'R', {} },
        VanishCase { "RepeatWaitingForResponse", 'W', { "--delay", "300" } },
        VanishCase { "Break", 'B', {} }),
    ByName);

// The instrument streams text as fast as the window takes it, under "As is", whose answer never ends.
TEST(FloodingDevice, WindowStaysResponsiveWithBoundedMemoryAndDisplays)
{
    Rig r({ "--stream", "50000000" });
    ASSERT_TRUE(r.Open());
    const qint64 residentBefore = ResidentBytes();
    qint64 residentPeak = residentBefore, largestGapMs = 0;
    qsizetype longestAnswer = 0, longestHex = 0;
    QElapsedTimer sinceTick;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        largestGapMs = std::max(largestGapMs, sinceTick.restart());
        residentPeak = std::max(residentPeak, ResidentBytes());
        longestAnswer = std::max(longestAnswer, r.f.TextInput->text().size());
        longestHex = std::max(longestHex, r.f.TextInputHex->text().size());
    });
    r.window.Send(AsIs, "ID?");
    sinceTick.start();
    tick.start(10);
    RunEventLoopFor(3000);

    EXPECT_LT(largestGapMs, 2000); // a frozen window, not a slow one
#ifndef __SANITIZE_ADDRESS__ // which holds freed memory back
    EXPECT_LT(residentPeak - residentBefore, 50 << 20);
#endif
    EXPECT_LE(longestAnswer, kAnswerTextLimit * 6);
    EXPECT_LE(longestHex, kHexDisplayLimit);
    EXPECT_GT(r.window.comm.bytesRead, 100'000) << "the flood never reached the window";
    EXPECT_TRUE(r.f.MSComm1.portOpen());
}

} // namespace
