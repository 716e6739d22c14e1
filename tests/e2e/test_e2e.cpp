// The real window and serial port against the virtual instrument and against misbehaving devices.
#include "instrument_process.h"
#include "live_window.h"
#include "process_meter.h"

#include "app/display_label.h"
#include "app/vb_controls.h"
#include "command/framing.h"
#include "response/receiver.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <numeric>

namespace
{

using namespace ::testing;

const QString kIdentity
    = QStringLiteral("durnix-instrument %1.%2").arg(DURNIX_VERSION_MAJOR).arg(DURNIX_VERSION_MINOR);

AssertionResult Opened(LiveWindow& window)
{
    if (window.Form().MSComm1.portOpen())
        return AssertionSuccess();
    return AssertionFailure() << window.portFailures.join('\n').toStdString();
}

// Waits for a complete answer shown as `text`.
AssertionResult Shows(DurnixForm& f, const QString& text)
{
    if (QTest::qWaitFor([&] { return f.ResponseState == 2 && f.TextInput->text() == text; }, 5000))
        return AssertionSuccess();
    return AssertionFailure() << "state " << f.ResponseState
                              << ", shown: " << f.TextInput->text().toStdString();
}

// Picks COM1 again and talks to the instrument on it.
void RepickAndTalk(LiveWindow& window)
{
    emit window.Form().ComboPort->activated(0);
    ASSERT_TRUE(Opened(window));
    window.Send(VxbWithBcc, "ECHO again");
    EXPECT_TRUE(Shows(window.Form(), "again"));
}

// The instrument, started with `options`, and the window with it on COM1.
struct Rig {
    explicit Rig(const QStringList& options = {})
        : started(instrument.Start(options))
    {
    }
    AssertionResult Open()
    {
        return started ? Opened(window) : AssertionFailure() << instrument.Errors().constData();
    }

    InstrumentProcess instrument;
    bool started;
    LiveWindow window { Com1Map(instrument.LinkPath(), instrument.Folder()), instrument.Folder() };
    DurnixForm& f = window.Form();
};

void StartRepeat(DurnixForm& f, const char* interval, bool waitForResponse, const char* count = "")
{
    f.TextRepeat->setText(interval);
    f.TextCount->setText(count);
    SetVbValue(f.CheckWaitForResponse, waitForResponse ? 1 : 0);
    SetVbValue(f.CheckRepeat, 1);
}

struct FramingCase {
    const char* name;
    int protocol;
    const char* command;
    bool hex;
    const char* address;
    QString shown;
};

void PrintTo(const FramingCase& c, std::ostream* out)
{
    *out << c.name;
}

using EachFraming = ::testing::TestWithParam<FramingCase>;

TEST_P(EachFraming, AnswerIsShownComplete)
{
    const FramingCase& c = GetParam();
    Rig r;
    ASSERT_TRUE(r.Open());
    r.window.Send(c.protocol, c.command, c.hex, c.address);
    EXPECT_TRUE(Shows(r.f, c.shown));
}

// Framings without a recogniser of their own show every byte, ACK, ETX and check byte included.
INSTANTIATE_TEST_SUITE_P(Instrument, EachFraming,
    ::testing::Values(FramingCase { "VxbWithBcc", VxbWithBcc, "ID?", false, "0", kIdentity },
        FramingCase { "VxbNoBccGetsNakAfterTheMissingByteTimesOut", VxbNoBcc, "ID?", false, "0", "<NAK>" },
        FramingCase { "VxbWrongBcc", VxbWrongBcc, "ID?", false, "0", "<NAK>" },
        FramingCase { "AsciiCrlf", AsciiCrlf, "ID?", false, "0", kIdentity + "<13>\n<10>" },
        FramingCase { "VxbRavo", VxbRavo, "ECHO X", false, "0", "<6>X<3>]" },
        FramingCase { "AsIsWithLineEndEscapes", AsIs, "ID?<13><10>", false, "0", kIdentity + "<13>\n<10>" },
        FramingCase {
            "ModbusRtuReadsRegister5", ModbusRtu, "03 00 05 00 01", true, "1", "<1><3><2><0><5>xG" },
        FramingCase { "HartCommand0LongAnswer", Hart, "02 80 00 00", true, "0",
            "<134><173><213><0><0><1><0><14><0><0><254>-<213><5><5><1><1><8><0><0><0><1><254>" }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RepeatAgainstInstrument, WaitingForResponsesSendsTheCountEachAfterTheAnswerBefore)
{
    // Answers slower than the interval: only waiting keeps the sends from overtaking them.
    Rig r({ "--delay", "25" });
    ASSERT_TRUE(r.Open());
    r.window.Prepare(VxbWithBcc, "ID?");
    StartRepeat(r.f, "0.01", true, "20");
    // Each send counts down the box: note how many answers were complete by then.
    std::vector<int> answersAtSend;
    QObject::connect(
        r.f.TextCount, &QLineEdit::textChanged, [&] { answersAtSend.push_back(r.window.completeAnswers); });
    EXPECT_TRUE(QTest::qWaitFor([&] { return r.window.completeAnswers == 20; }, 10000))
        << r.window.completeAnswers;
    EXPECT_EQ(r.f.CheckRepeat->checkState(), Qt::Unchecked);
    std::vector<int> answersBefore(20);
    std::iota(answersBefore.begin(), answersBefore.end(), 0);
    EXPECT_EQ(answersAtSend, answersBefore);
    RepickAndTalk(r.window); // closing the port is no hang-up for the instrument
    // It reports on stdout only when it stops cleanly, and takes its link with it.
    const InstrumentSummary summary
        = ParseInstrumentSummary(r.instrument.Stop()).value_or(InstrumentSummary {});
    EXPECT_EQ(std::pair(summary.received, summary.answered), std::pair(21LL, 21LL));
    EXPECT_FALSE(QFileInfo(r.instrument.LinkPath()).isSymLink());
}

// Where the kill falls: during a long send, a repeat, a repeat waiting for its answer, a break.
struct VanishCase {
    const char* name;
    char during;
    QStringList options;
};

void PrintTo(const VanishCase& c, std::ostream* out)
{
    *out << c.name;
}

using DeviceVanishes = ::testing::TestWithParam<VanishCase>;

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
        r.window.Prepare(VxbWithBcc, "ID?");
        StartRepeat(r.f, "0.02", c.during == 'W');
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

    // A port left retrying the dead device would burn a core here.
    const double cpuBefore = CpuSeconds();
    RunEventLoopFor(1000);
    const double cpu = CpuSeconds() - cpuBefore;
    EXPECT_LT(cpu, 0.15);
    EXPECT_FALSE(r.f.MSComm1.portOpen());
    // The loss ends repetition with one beep and no failure box.
    EXPECT_EQ(r.f.CheckRepeat->checkState(), Qt::Unchecked);
    EXPECT_EQ(r.window.beeps, 1);
    EXPECT_TRUE(r.window.portFailures.isEmpty()) << r.window.portFailures.join('\n').toStdString();

    ASSERT_TRUE(r.instrument.Start(c.options)) << "over the link the killed one left behind";
    RepickAndTalk(r.window);
}

// Slow answers, so that the kill falls while a send waits for its answer.
INSTANTIATE_TEST_SUITE_P(Instrument, DeviceVanishes,
    ::testing::Values(VanishCase { "Send", 'S', {} }, VanishCase { "Repeat", 'R', {} },
        VanishCase { "RepeatWaitingForResponse", 'W', { "--delay", "300" } },
        VanishCase { "Break", 'B', {} }),
    [](const auto& info) { return std::string(info.param.name); });

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
