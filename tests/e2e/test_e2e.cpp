// The real window and serial port against the virtual instrument: what only a real process, port and
// clock add to the window tests on FakeComm.
#include "instrument_process.h"
#include "live_window.h"
#include "process_meter.h"

#include "app/display_label.h"
#include "app/vb_controls.h"
#include "command/framing.h"
#include "row_names.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace
{

using namespace ::testing;

// The instrument, started with `options`, and the window with it on COM1.
struct Rig {
    explicit Rig(const QStringList& options = {})
        : started(instrument.Start(options))
    {
    }
    AssertionResult Open()
    {
        if (started && f.MSComm1.portOpen())
            return AssertionSuccess();
        return AssertionFailure() << instrument.Errors().constData()
                                  << window.portFailures.join('\n').toStdString();
    }
    // A repeat that waits for each answer.
    void StartRepeat(const char* interval, const char* count = "")
    {
        window.Prepare(VxbWithBcc, "ID?");
        f.TextRepeat->setText(interval);
        f.TextCount->setText(count);
        SetVbValue(f.CheckWaitForResponse, 1);
        SetVbValue(f.CheckRepeat, 1);
    }

    InstrumentProcess instrument;
    bool started;
    LiveWindow window { Com1Map(instrument.LinkPath(), instrument.Folder()), instrument.Folder() };
    DurnixForm& f = window.Form();
};

// Answers slower than the interval: only waiting keeps the sends from overtaking them. A pseudo-terminal
// takes the packet at once, so the times, which start where the packet would have left a 600 baud line,
// are the instrument's delay less that line time.
TEST(LoggedRepeat, WaitingRunRecordsEveryCycleWithTheAnswerTimesTheDeviceTook)
{
    constexpr double kDelayMs = 115, kLineMs = 6 * 10 * 1000 / 600.0; // "ID?" framed is 6 bytes, 8N1
    Rig r({ "--delay", QString::number(kDelayMs) });
    ASSERT_TRUE(r.Open());
    r.f.ComboBPS->setCurrentText("600");
    r.f.ComboBPS_Click();
    const QString path = r.instrument.Folder() + "/line.log";
    ASSERT_TRUE(r.f.StartLog(path));
    r.StartRepeat("0.001", "20");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !IsSet(r.f.CheckRepeat) && r.f.ResponseState == 2; }, 10000));
    r.f.StopLog();
    QString records; // the file is written by the log's own thread, a moment after Stop
    const auto read = [&] {
        QFile log(path);
        return log.open(QIODevice::ReadOnly)
            && (records = QString::fromUtf8(log.readAll())).contains("\tRUN\t");
    };
    ASSERT_TRUE(QTest::qWaitFor(read, 5000));
    ASSERT_EQ(records.count("\tRUN\t"), 1);
    const QString run = records.section("\tRUN\t\t", 1).section('\n', 0, 0);
    EXPECT_TRUE(run.startsWith("sends=20 complete=20 bccerr=0 nak=0 incomplete=0 unanswered=0 min="))
        << run.toStdString();
    // On a loaded machine the window can be descheduled between a write and its time stamp, which
    // shortens that one cycle's times, or late to read an answer, which lengthens them; the medians
    // still lie above the delay less the line time, and below the delay by a margin of the line time.
    for (const char* median : { " median=", "turn_median=" }) {
        const double ms = run.section(median, 1).section(' ', 0, 0).toDouble();
        EXPECT_GE(ms, kDelayMs - kLineMs) << median << run.toStdString();
        EXPECT_LT(ms, kDelayMs) << median << run.toStdString();
    }
}

// Where the kill falls: during a long send, a repeat waiting for its answer, a break.
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
    QString breakCaption;
    const auto kill = [&] {
        breakCaption = r.f.CommandBreak->text();
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
        r.StartRepeat("0.02");
        // An answer has come, and the next send waits for its own.
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return r.window.comm.bytesRead > 0 && r.f.ResponseState == 0; }, 5000));
        kill();
    }
    // No send or timer is needed to notice the loss.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !breakCaption.isEmpty() && !r.f.MSComm1.portOpen(); }, 2000));
    EXPECT_EQ(breakCaption, c.during == 'B' ? "&Break!" : "&Break") << "the kill missed its moment";
    EXPECT_TRUE(QTest::qWaitFor([&] { return r.f.CommandBreak->text() == "&Break"; }, 5000));
    // The break's end, refused on the closed port, names its own failure last.
    EXPECT_TRUE(c.during == 'B' || r.window.comm.errorText().contains("the device went away"))
        << r.window.comm.errorText().toStdString();

    // A port left retrying the dead device would burn a core here.
    const double cpuBefore = CpuSeconds();
    RunEventLoopFor(1000);
    EXPECT_LT(CpuSeconds() - cpuBefore, 0.3);
    EXPECT_FALSE(r.f.MSComm1.portOpen());
    EXPECT_EQ(r.window.beeps, 1) << "the window took it for a lost port";
    ASSERT_EQ(r.window.portLosses.size(), 1) << "one box for one loss";
    EXPECT_TRUE(r.window.portLosses[0].startsWith(
        "COM1 (" + r.instrument.LinkPath() + ") was lost: the device went away"))
        << r.window.portLosses[0].toStdString();
    EXPECT_TRUE(r.window.portFailures.isEmpty()) << r.window.portFailures.join('\n').toStdString();

    ASSERT_TRUE(r.instrument.Start(c.options)) << "over the link the killed one left behind";
    emit r.f.ComboPort->activated(0);
    r.window.Send(VxbWithBcc, "ECHO again");
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return r.f.ResponseState == 2 && r.f.TextInput->text() == "again"; }, 5000))
        << r.f.TextInput->text().toStdString();
}

// Slow answers, so that the kill falls while a send waits for its answer.
INSTANTIATE_TEST_SUITE_P(Instrument, DeviceVanishes,
    Values(VanishCase { "Send", 'S', {} },
        VanishCase { "RepeatWaitingForResponse", 'W', { "--delay", "300" } },
        VanishCase { "Break", 'B', {} }),
    ByName);

// The instrument streams text as fast as the window takes it, under "As is", whose answer never ends.
TEST(FloodingDevice, WindowStaysResponsiveWithBoundedMemory)
{
    Rig r({ "--stream", "50000000" });
    ASSERT_TRUE(r.Open());
    const qint64 residentBefore = ResidentBytes();
    qint64 residentPeak = residentBefore, largestGapMs = 0;
    QElapsedTimer sinceTick;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        largestGapMs = std::max(largestGapMs, sinceTick.restart());
        residentPeak = std::max(residentPeak, ResidentBytes());
    });
    r.window.Send(AsIs, "ID?");
    sinceTick.start();
    tick.start(10);
    RunEventLoopFor(3000);

    EXPECT_LT(largestGapMs, 2000); // a frozen window, not a slow one
#ifndef __SANITIZE_ADDRESS__ // which holds freed memory back
    EXPECT_LT(residentPeak - residentBefore, 50 << 20);
#endif
    EXPECT_GT(r.window.comm.bytesRead, 100'000) << "the flood never reached the window";
    EXPECT_TRUE(r.f.MSComm1.portOpen());
}

} // namespace
