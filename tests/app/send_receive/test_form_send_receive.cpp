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

static void Send(DurnixForm& f, const QString& command)
{
    f.TextOutput->setEditText(command);
    f.CommandSend->click();
}

static void StartRepeat(DurnixForm& f, const QString& count)
{
    f.TextOutput->setEditText("Q");
    f.TextRepeat->setText("0.05");
    f.TextCount->setText(count);
    SetVbValue(f.CheckRepeat, 1);
}

TEST(FormSend, RecentListKeepsFiveNewestWithTheStatesOfTheirFirstSend)
{
    FormHarness h;
    DurnixForm& f = h.Start();
    auto state = [](const RememberedState& s) { return s ? QString::number(*s) : QString("-"); };
    // Each entry: its text, then its remembered DISP and hex states.
    for (const auto& [command, disp, hex, list] :
        { std::tuple { "A", 0, 0, "A00 -- -- -- --" }, { "B", 1, 0, "B10 A00 -- -- --" },
            { "C", 0, 1, "C01 B10 A00 -- --" }, { "D", 2, 1, "D21 C01 B10 A00 --" },
            { "E", 1, 1, "E11 D21 C01 B10 A00" }, { "F", 0, 2, "F02 E11 D21 C01 B10" },
            { "B", 0, 1, "F02 E11 D21 C01 B10" } }) { // B stays put with its first states
        SetVbValue(f.CheckDisp, disp);
        SetVbValue(f.CheckHex, hex);
        Send(f, command);
        QStringList entries;
        for (int k = 0; k < 5; ++k)
            entries << f.TextOutput->itemText(k) + state(f.Recent.disp[k]) + state(f.Recent.hex[k]);
        EXPECT_EQ(entries.join(' '), QString(list)) << command;
    }
}

TEST(FormSend, EnterInTheCommandBoxSends)
{
    FormHarness h;
    DurnixForm& f = h.Start();
    f.TextOutput->setEditText("A");
    QTest::keyClick(f.TextOutput->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(h.comm.writes, QList<QByteArray> { QByteArrayLiteral("\x80\x41\x03\x42") });
}

TEST(FormSend, PacketIsWrittenAfterADiscardAndShown)
{
    FormHarness h;
    DurnixForm& f = h.Start();
    f.TextAddr->setText("1");
    for (const auto& [protocol, command, hex, packet] :
        { std::tuple { 0, "DISP HELLO", 0, "81 44 49 53 50 20 48 45 4C 4C 4F 03 6F" },
            { 5, "A<13>B", 0, "41 0D 42" }, { 6, "03 00 00 00 01", 1, "01 03 00 00 00 01 84 0A" } }) {
        f.ComboProt->setCurrentIndex(protocol);
        SetVbValue(f.CheckHex, hex);
        h.comm.log.clear();
        Send(f, command);
        EXPECT_EQ(h.comm.log, QStringList({ "DISCARD", QString("WRITE ") + packet }));
        EXPECT_EQ(f.TextOutputhex->text(), QString(packet) + ' ');
    }
}

TEST(FormSend, EscapeOutOfRangeOnlyBeepsAndAClosedPortBeepsButShowsThePacket)
{
    FormHarness h;
    DurnixForm& f = h.Start();
    Send(f, "Q");
    h.comm.receive(QByteArray::fromHex("0631"));
    const QStringList log = h.comm.log;
    Send(f, "<256>");
    Send(f, "A<-1>B");
    EXPECT_EQ(h.beeps, 2);
    EXPECT_EQ(h.comm.log, log);
    EXPECT_EQ(f.TextOutputhex->text() + '|' + f.TextInputHex->text(), QString("80 51 03 52 |06 31 "));
    h.comm.setPortOpen(false);
    h.comm.log.clear();
    Send(f, "Z");
    EXPECT_EQ(h.beeps, 3);
    EXPECT_TRUE(h.comm.log.isEmpty());
    EXPECT_EQ(f.TextOutputhex->text() + '|' + f.TextInputHex->text() + '|' + f.TextInput->text(),
        QString("80 5A 03 59 ||1"));
    EXPECT_EQ(f.ResponseState, 1);
    EXPECT_EQ(f.TextOutput->itemText(0) + f.TextOutput->itemText(1), QString("ZA<-1>B"))
        << "listed all the same";
    h.comm.setPortOpen(true);
    h.comm.receive(QByteArray::fromHex("32"));
    EXPECT_EQ(f.TextInputHex->text() + '|' + f.TextInput->text(), QString("32 |12")) << "the answer goes on";
}

TEST(FormSend, InterpretedAnswerStaysAcrossSendsOnlyWithARepeatInterval)
{
    FormHarness h;
    DurnixForm& f = h.Start();
    // Complete answer kept; no answer at all cleared; no interval cleared; an arriving answer kept.
    for (const auto& [interval, before, reply, after] :
        { std::tuple { "5", "", "0631320306", "12" }, { "5", "12", "", "12" },
            { "5", "", "0631320306", "12" }, { "0", "", "0631", "1" }, { "5", "1", "", "1" } }) {
        f.TextRepeat->setText(interval);
        Send(f, "Q");
        EXPECT_EQ(f.TextInput->text(), QString(before)) << interval << '/' << before;
        if (*reply) // even an empty chunk would begin a new answer
            h.comm.receive(QByteArray::fromHex(reply));
        EXPECT_EQ(f.TextInput->text(), QString(after)) << interval << '/' << before;
    }
}

TEST(FormReceive, VxbAnswerIsCompleteAtItsCheckByteAndAClickClearsOnlyItsText)
{
    FormHarness h;
    DurnixForm& f = h.Start();
    f.show();
    Send(f, "Q");
    const QByteArray answer = QByteArray::fromHex("410631320306");
    for (int i = 0; i < answer.size(); ++i) {
        h.comm.receive(answer.mid(i, 1));
        EXPECT_EQ(f.ResponseState, i == 5 ? 2 : 1) << i;
        if (i == 2) {
            QTest::mouseClick(f.TextInput, Qt::LeftButton);
            EXPECT_EQ(f.TextInput->text(), QString());
        }
    }
    EXPECT_EQ(f.TextInput->text(), QString("12")) << "the next chunk redraws the whole answer";
    EXPECT_EQ(f.TextInputHex->text(), QString("41 06 31 32 03 06 "));
}

// Fed a byte at a time; how other splits read alike is the receiver's own concern.
TEST(FormReceive, AnswerIsReadByTheProtocolSelectedWhenItArrives)
{
    FormHarness h;
    DurnixForm& f = h.Start();
    for (const auto& [sentWith, answeredWith, hex, text, state] :
        { std::tuple { 0, 0, "4142063103 34", "1", 2 },
            { 7, 7, "12ff13 ffff86 8011223344 01 00 aa", "<134><128><17>\"3D<1><0><170>", 2 },
            { 5, 0, "0631320306", "12", 2 }, { 0, 5, "0631320306", "<6>12<3><6>", 2 },
            { 7, 1, "ffff0631", "1", 1 } }) {
        f.ComboProt->setCurrentIndex(sentWith);
        Send(f, "Q");
        f.ComboProt->setCurrentIndex(answeredWith);
        for (char byte : QByteArray::fromHex(hex))
            h.comm.receive(QByteArray(1, byte));
        EXPECT_EQ(f.TextInput->text() + '|' + QString::number(f.ResponseState),
            QString(text) + '|' + QString::number(state))
            << hex;
    }
}

TEST(FormRepeat, CountLimitsTheSendsAndShowsWhatRemainsDuringTheRedTick)
{
    FormHarness h;
    DurnixForm& f = h.Start();
    auto red = [&] { return f.CheckRepeat->palette().color(QPalette::WindowText) == QColor(255, 0, 0); };
    QStringList seen;
    QObject::connect(f.TextCount, &QLineEdit::textChanged,
        [&](const QString& text) { seen << (red() ? text : "black " + text); });
    for (const auto& [count, shown] : { std::pair { "3", "2 1 " }, { "2.5", "1.5 0.5 " } }) {
        h.comm.writes.clear();
        StartRepeat(f, count);
        seen.clear();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !IsSet(f.CheckRepeat); }, 5000));
        EXPECT_EQ(h.comm.writes.size(), 3) << count;
        EXPECT_EQ(seen.join(' '), QString(shown)) << count;
        EXPECT_FALSE(red() || f.RepeatTimer->isEnabled()) << count;
    }
}

TEST(FormRepeat, TicksOnlyWithANumberWaitForAnAnswerAndStopAtAManualSend)
{
    FormHarness h;
    DurnixForm& f = h.Start();
    int ticks = 0;
    QObject::connect(f.RepeatTimer, &IntervalTimer::timeout, [&] { ++ticks; });
    SetVbValue(f.CheckWaitForResponse, 1);
    Send(f, "Q");
    h.comm.receive(QByteArray::fromHex("0631"));
    f.TextRepeat->setText("abc");
    SetVbValue(f.CheckRepeat, 1);
    EXPECT_TRUE(f.RepeatTimer->isEnabled());
    EXPECT_FALSE(QTest::qWaitFor([&] { return ticks > 0; }, 200));
    // Switched on while an answer was arriving, so the first tick sends.
    f.TextRepeat->setText("0.05");
    ASSERT_TRUE(QTest::qWaitFor([&] { return h.comm.writes.size() == 2; }, 5000));
    ASSERT_TRUE(QTest::qWaitFor([&, from = ticks] { return ticks >= from + 4; }, 5000));
    EXPECT_EQ(h.comm.writes.size(), 2) << "a silent device gets nothing more";
    h.comm.receive(QByteArray::fromHex("060305"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return h.comm.writes.size() == 3; }, 5000));
    Send(f, "");
    h.comm.receive(QByteArray::fromHex("060305")); // would let a further tick send
    EXPECT_EQ(VbValue(f.CheckRepeat), 0);
    EXPECT_EQ(h.comm.writes.last(), QByteArray::fromHex("800303"));
    EXPECT_FALSE(QTest::qWaitFor([&] { return h.comm.writes.size() > 4; }, 300));
}
