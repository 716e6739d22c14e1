#include "form_harness.h"

static void Send(DurnixForm& f, const QString& command)
{
    f.TextOutput->setEditText(command);
    f.CommandSend->click();
}

using FormSend = StartedForm;
using FormReceive = StartedForm;
using FormRepeat = StartedForm;

TEST_F(FormSend, RecentListTakesTheCheckBoxesOfTheFirstSend)
{
    auto state = [](const RememberedState& s) { return s ? QString::number(*s) : QString("-"); };
    // Each entry: its text, then its remembered DISP and hex states; the list's own rules are the core's.
    for (const auto& [command, disp, hex, list] : { std::tuple { "A", 0, 0, "A00 -- -- -- --" },
             { "B", 2, 1, "B21 A00 -- -- --" }, { "A", 1, 1, "B21 A00 -- -- --" } }) {
        SetVbValue(f.CheckDisp, disp);
        SetVbValue(f.CheckHex, hex);
        Send(f, command);
        QStringList entries;
        for (int k = 0; k < 5; ++k)
            entries << f.TextOutput->itemText(k) + state(f.Recent.disp[k]) + state(f.Recent.hex[k]);
        EXPECT_EQ(entries.join(' '), QString(list)) << command;
    }
}

// The framing itself is the core's; here the box, protocol, address and hex box reach it. Enter sends too.
TEST_F(FormSend, PacketIsWrittenAfterADiscardAndShown)
{
    f.TextAddr->setText("1");
    f.ComboProt->setCurrentIndex(6);
    SetVbValue(f.CheckHex, 1);
    f.TextOutput->setEditText("03 00 00 00 01");
    h.comm.log.clear();
    QTest::keyClick(f.TextOutput->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(h.comm.log, QStringList({ "DISCARD", "WRITE 01 03 00 00 00 01 84 0A" }));
    EXPECT_EQ(f.TextOutputhex->text(), QString("01 03 00 00 00 01 84 0A "));
}

TEST_F(FormSend, EscapeOutOfRangeOnlyBeepsAndAClosedPortBeepsButShowsThePacket)
{
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

TEST_F(FormSend, InterpretedAnswerStaysAcrossSendsOnlyWithARepeatInterval)
{
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

TEST_F(FormReceive, VxbAnswerIsCompleteAtItsCheckByteAndAClickClearsOnlyItsText)
{
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

// Fed a byte at a time; how each protocol reads and splits is the receiver's own concern.
TEST_F(FormReceive, AnswerIsReadByTheProtocolSelectedWhenItArrives)
{
    for (const auto& [sentWith, answeredWith, hex, text, state] :
        { std::tuple { 5, 0, "0631320306", "12", 2 }, { 0, 5, "0631320306", "<6>12<3><6>", 2 } }) {
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

TEST_F(FormRepeat, CountLimitsTheSendsAndShowsWhatRemainsDuringTheRedTick)
{
    auto red = [&] { return f.CheckRepeat->palette().color(QPalette::WindowText) == QColor(255, 0, 0); };
    QStringList seen;
    QObject::connect(f.TextCount, &QLineEdit::textChanged,
        [&](const QString& text) { seen << (red() ? text : "black " + text); });
    for (const auto& [count, shown] : { std::pair { "3", "2 1 " }, { "2.5", "1.5 0.5 " } }) {
        h.comm.writes.clear();
        f.TextOutput->setEditText("Q");
        f.TextRepeat->setText("0.05");
        f.TextCount->setText(count);
        SetVbValue(f.CheckRepeat, 1);
        seen.clear();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !IsSet(f.CheckRepeat); }, 5000));
        EXPECT_EQ(h.comm.writes.size(), 3) << count;
        EXPECT_EQ(seen.join(' '), QString(shown)) << count;
        EXPECT_FALSE(red() || f.RepeatTimer->isEnabled()) << count;
    }
}

TEST_F(FormRepeat, TicksOnlyWithANumberWaitForAnAnswerAndStopAtAManualSend)
{
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
