// Repeats against the virtual instrument, and what the window does when the instrument dies.
#include "instrument_process.h"
#include "live_window.h"
#include "process_meter.h"

#include "app/display_label.h"
#include "app/vb_controls.h"
#include "command/framing.h"

#include <QComboBox>
#include <QDeadlineTimer>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>
#include <numeric>

namespace
{

void StartRepeat(DurnixForm& f, const QString& interval, const QString& count, bool waitForResponse)
{
    f.TextRepeat->setText(interval);
    f.TextCount->setText(count);
    SetVbValue(f.CheckWaitForResponse, waitForResponse ? 1 : 0);
    SetVbValue(f.CheckRepeat, 1);
}

TEST(RepeatAgainstInstrument, WaitingForResponsesSendsExactlyTheCountAndEachAfterItsAnswer)
{
    // Answers slower than the interval: only waiting keeps the sends from overtaking them.
    InstrumentProcess instrument;
    ASSERT_TRUE(instrument.Start({ "--delay", "25" }));
    LiveWindow window(Com1Map(instrument.LinkPath(), instrument.Folder()), instrument.Folder());
    DurnixForm& f = window.Form();
    ASSERT_TRUE(f.MSComm1.portOpen());
    window.Prepare(VxbWithBcc, "ID?");

    StartRepeat(f, "0.01", "20", true);
    // Each send counts down the box: note how many answers were complete by then.
    std::vector<int> answersAtSend;
    QObject::connect(
        f.TextCount, &QLineEdit::textChanged, [&] { answersAtSend.push_back(window.completeAnswers); });
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.completeAnswers == 20; }, 10000))
        << window.completeAnswers;
    EXPECT_EQ(f.CheckRepeat->checkState(), Qt::Unchecked);
    EXPECT_TRUE(f.TextCount->text().isEmpty());
    std::vector<int> previousAnswered(20);
    std::iota(previousAnswered.begin(), previousAnswered.end(), 0);
    EXPECT_EQ(answersAtSend, previousAnswered);

    const auto summary = ParseInstrumentSummary(instrument.Stop());
    ASSERT_TRUE(summary);
    EXPECT_EQ(summary->received, 20);
    EXPECT_EQ(summary->answered, 20);
    EXPECT_EQ(summary->bytesOut, window.comm.bytesRead);
}

TEST(RepeatAgainstInstrument, KilledInstrumentClosesThePortAndEndsRepetitionAndARestartTalksAgain)
{
    InstrumentProcess instrument;
    ASSERT_TRUE(instrument.Start());
    LiveWindow window(Com1Map(instrument.LinkPath(), instrument.Folder()), instrument.Folder());
    DurnixForm& f = window.Form();
    ASSERT_TRUE(f.MSComm1.portOpen());
    window.Send(VxbWithBcc, "ID?");
    StartRepeat(f, "0.02", "", false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.completeAnswers >= 5; }, 5000));

    const QDeadlineTimer closed(500);
    instrument.Kill();
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return !f.MSComm1.portOpen(); }, int(qMax<qint64>(0, closed.remainingTime()))))
        << "the port still reads open 500 ms after the instrument died";
    ASSERT_TRUE(QTest::qWaitFor([&] { return !f.MSComm1.portOpen(); }, 5000));

    // A port left spinning on read errors would burn a whole core here.
    const double cpuBefore = CpuSeconds();
    RunEventLoopFor(1000);
    EXPECT_LT(CpuSeconds() - cpuBefore, 0.3);
    // The loss ends repetition with one beep, rather than a beep at every tick.
    EXPECT_EQ(f.CheckRepeat->checkState(), Qt::Unchecked);
    EXPECT_EQ(window.beeps, 1);

    ASSERT_TRUE(instrument.Start());
    emit f.ComboPort->activated(0);
    ASSERT_TRUE(f.MSComm1.portOpen()) << window.portFailures.join('\n').toStdString();
    EXPECT_TRUE(window.portFailures.isEmpty());
    const int answersBefore = window.completeAnswers;
    window.Send(VxbWithBcc, "ECHO again");
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.TextInput->text() == "again"; }, 5000))
        << f.TextInput->text().toStdString();
    EXPECT_EQ(window.completeAnswers, answersBefore + 1);
}

} // namespace
