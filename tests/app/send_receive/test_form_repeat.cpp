#include "app/display_label.h"
#include "app/vb_controls.h"
#include "common/interval_timer.h"
#include "form_harness.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace
{

constexpr int kDeadlineMs = 5000;

QByteArray Bytes(const char* hex)
{
    return QByteArray::fromHex(hex);
}

void StartRepeat(DurnixForm& f, const QString& command, const QString& count)
{
    f.TextOutput->setEditText(command);
    f.TextRepeat->setText("0.05");
    f.TextCount->setText(count);
    SetVbValue(f.CheckRepeat, 1);
}

bool Red(const QCheckBox* check)
{
    return check->palette().color(QPalette::WindowText) == QColor(255, 0, 0);
}

// Counts the repeat ticks; connected after the window's own handler, so it
// sees each tick's outcome.
struct TickCounter {
    int ticks = 0;
    std::function<void()> after;
    TickCounter(DurnixForm& f)
    {
        QObject::connect(f.RepeatTimer, &IntervalTimer::timeout, f.RepeatTimer, [this] {
            ++ticks;
            if (after)
                after();
        });
    }
};

} // namespace

TEST(FormRepeat, CountLimitsTheSendsAndShowsWhatRemainsDuringTheRedTick)
{
    FormHarness h;
    DurnixForm& f = h.Start();
    const struct {
        const char* count;
        int sends;
        QStringList shown;
    } cases[] = {
        { "3", 3, { "2", "1", "" } },
        { "2.5", 3, { "1.5", "0.5", "" } },
        { "1", 1, { "" } },
        { "0", 1, { "" } },
        { " 2 ", 2, { "1", "" } },
        { "+2e0", 2, { "1", "" } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        h.comm.writes.clear();
        StartRepeat(f, "Q", c.count);
        QStringList shown;
        int shownOutsideTick = 0;
        const auto watch = QObject::connect(f.TextCount, &QLineEdit::textChanged, [&](const QString& text) {
            shown << text;
            shownOutsideTick += !Red(f.CheckRepeat);
        });
        ASSERT_TRUE(QTest::qWaitFor([&] { return !IsSet(f.CheckRepeat); }, kDeadlineMs));
        QObject::disconnect(watch);
        EXPECT_EQ(h.comm.writes.size(), c.sends);
        EXPECT_EQ(shown, c.shown);
        EXPECT_EQ(shownOutsideTick, 0) << "the caption is red while the tick runs";
        EXPECT_FALSE(Red(f.CheckRepeat));
        EXPECT_FALSE(f.RepeatTimer->isEnabled());
        EXPECT_EQ(f.TextCount->text(), QString());
    }
}

TEST(FormRepeat, CountThatIsNotWhollyANumberSetsNoLimit)
{
    FormHarness h;
    DurnixForm& f = h.Start();
    for (const char* count : { "", "x", "2 apples", "1-" }) {
        SCOPED_TRACE(count);
        h.comm.writes.clear();
        StartRepeat(f, "Q", count);
        ASSERT_TRUE(QTest::qWaitFor([&] { return h.comm.writes.size() >= 4; }, kDeadlineMs));
        EXPECT_TRUE(IsSet(f.CheckRepeat));
        EXPECT_EQ(f.TextCount->text(), QString(count));
        SetVbValue(f.CheckRepeat, 0);
    }
}

TEST(FormRepeat, ManualSendStopsRepetition)
{
    FormHarness h;
    DurnixForm& f = h.Start();
    StartRepeat(f, "Q", "");
    ASSERT_TRUE(QTest::qWaitFor([&] { return h.comm.writes.size() >= 2; }, kDeadlineMs));
    f.TextOutput->setEditText("");
    f.CommandSend->click();
    EXPECT_EQ(VbValue(f.CheckRepeat), 0);
    EXPECT_FALSE(f.RepeatTimer->isEnabled());
    EXPECT_EQ(h.comm.writes.last(), Bytes("800303"));
    const qsizetype writes = h.comm.writes.size();
    EXPECT_FALSE(QTest::qWaitFor([&] { return h.comm.writes.size() > writes; }, 300));
}

TEST(FormRepeat, FailingTickIsSilentAndDoesNotCountDown)
{
    FormHarness h;
    DurnixForm& f = h.Start();
    TickCounter counter(f);
    StartRepeat(f, "A<256>", "2");
    ASSERT_TRUE(QTest::qWaitFor([&] { return counter.ticks >= 3; }, kDeadlineMs));
    EXPECT_TRUE(h.comm.writes.isEmpty());
    EXPECT_EQ(h.beeps, 0);
    EXPECT_EQ(f.TextCount->text(), QString("2"));
    EXPECT_TRUE(IsSet(f.CheckRepeat));
    EXPECT_EQ(f.TextOutputhex->text(), QString());
}

TEST(FormRepeat, ClosedPortBeepsAtEveryTickAndStillCounts)
{
    FormHarness h;
    DurnixForm& f = h.Start();
    h.comm.setPortOpen(false);
    StartRepeat(f, "Q", "2");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !IsSet(f.CheckRepeat); }, kDeadlineMs));
    EXPECT_EQ(h.beeps, 2);
    EXPECT_TRUE(h.comm.writes.isEmpty());
}

TEST(FormRepeat, WaitingForResponseSendsOnlyAfterEachCompleteAnswer)
{
    FormHarness h;
    DurnixForm& f = h.Start();
    TickCounter counter(f);
    SetVbValue(f.CheckWaitForResponse, 1);
    f.TextOutput->setEditText("Q");
    f.CommandSend->click();
    h.comm.receive(Bytes("0631"));
    ASSERT_EQ(f.ResponseState, 1);

    // Switching on while an answer is still arriving lets the first tick send.
    StartRepeat(f, "Q", "");
    EXPECT_EQ(f.ResponseState, 2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return h.comm.writes.size() == 2; }, kDeadlineMs));

    // A silent device: ticks come, nothing more is sent.
    const int silentFrom = counter.ticks;
    ASSERT_TRUE(QTest::qWaitFor([&] { return counter.ticks >= silentFrom + 4; }, kDeadlineMs));
    EXPECT_EQ(h.comm.writes.size(), 2);
    EXPECT_TRUE(IsSet(f.CheckRepeat));

    // A device that answers every packet at once: every tick sends.
    counter.after = [&] {
        if (f.ResponseState == 0)
            h.comm.receive(Bytes("060305"));
    };
    h.comm.receive(Bytes("060305"));
    ASSERT_EQ(f.ResponseState, 2);
    const int ticksFrom = counter.ticks;
    const qsizetype writesFrom = h.comm.writes.size();
    ASSERT_TRUE(QTest::qWaitFor([&] { return counter.ticks >= ticksFrom + 4; }, kDeadlineMs));
    EXPECT_EQ(h.comm.writes.size() - writesFrom, counter.ticks - ticksFrom);
    SetVbValue(f.CheckRepeat, 0);
}

TEST(FormRepeat, IntervalIsTheMagnitudeOfTheBoxAndZeroNeverTicks)
{
    FormHarness h;
    DurnixForm& f = h.Start();
    const struct {
        const char* text;
        qint64 ms;
    } cases[]
        = { { "0.5", 500 }, { "-2", 2000 }, { " 1 .5", 1500 }, { "&H10", 16000 }, { "0", 0 }, { "abc", 0 } };
    for (const auto& c : cases) {
        f.TextRepeat->setText(c.text);
        EXPECT_EQ(f.RepeatTimer->interval(), c.ms) << c.text;
    }
    TickCounter counter(f);
    SetVbValue(f.CheckRepeat, 1);
    EXPECT_TRUE(f.RepeatTimer->isEnabled());
    EXPECT_FALSE(QTest::qWaitFor([&] { return counter.ticks > 0; }, 200));
    EXPECT_TRUE(h.comm.writes.isEmpty());
}
