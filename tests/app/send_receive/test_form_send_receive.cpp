// The send, receive and repeat handlers on FakeComm: framing, recognising answers and counting are the
// core's.
#include "form_harness.h"

static void Send(DurnixForm& f, const QString& command)
{
    f.TextOutput->setEditText(command);
    f.CommandSend->click();
}

using FormSend = StartedForm;
using FormReceive = StartedForm;
using FormRepeat = StartedForm;

// The box, protocol, address and a click on the hex box reach the framing; Enter in the box sends too.
TEST_F(FormSend, PacketIsWrittenAfterADiscardAndShown)
{
    f.TextAddr->setText("1");
    f.ComboProt->setCurrentIndex(6);
    QTest::mouseClick(f.CheckHex, Qt::LeftButton, {}, QPoint(6, f.CheckHex->height() / 2));
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
    EXPECT_EQ(h.beeps, 1);
    EXPECT_EQ(h.comm.log, log);
    EXPECT_EQ(f.TextOutputhex->text() + '|' + f.TextInputHex->text(), QString("80 51 03 52 |06 31 "));
    h.comm.setPortOpen(false);
    Send(f, "Z");
    EXPECT_EQ(h.beeps, 2);
    EXPECT_EQ(h.comm.log.size(), log.size() + 1) << "only the CLOSE";
    EXPECT_EQ(f.TextOutputhex->text() + '|' + f.TextInputHex->text() + '|' + f.TextInput->text(),
        QString("80 5A 03 59 ||1"));
    EXPECT_EQ(f.TextOutput->itemText(0), QString("Z")) << "listed all the same";
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

// Fed a byte at a time, the answer is complete at its last byte read as VXB and at every byte read as is. A
// click on the answer after the second byte clears only its text until the next byte redraws the whole
// answer.
TEST_F(FormReceive, AnswerIsReadByTheProtocolSelectedWhenItArrives)
{
    f.show();
    for (const auto& [sentWith, answeredWith, text, completeFrom] :
        { std::tuple { 5, 0, "12", 4 }, { 0, 5, "<6>12<3><6>", 0 } }) {
        f.ComboProt->setCurrentIndex(sentWith);
        Send(f, "Q");
        f.ComboProt->setCurrentIndex(answeredWith);
        const QByteArray answer = QByteArray::fromHex("0631320306");
        for (int i = 0; i < answer.size(); ++i) {
            h.comm.receive(answer.mid(i, 1));
            EXPECT_EQ(f.ResponseState, i >= completeFrom ? 2 : 1) << text << ' ' << i;
            if (i == 1) {
                QTest::mouseClick(f.TextInput, Qt::LeftButton);
                EXPECT_EQ(f.TextInput->text(), QString()) << text;
            }
        }
        EXPECT_EQ(f.TextInput->text() + '|' + f.TextInputHex->text(), QString(text) + "|06 31 32 03 06 ");
    }
}

TEST_F(FormRepeat, CountLimitsTheSendsAndShowsWhatRemainsDuringTheRedTick)
{
    auto red = [&] { return f.CheckRepeat->palette().color(QPalette::WindowText) == QColor(255, 0, 0); };
    QStringList seen;
    QObject::connect(f.TextCount, &QLineEdit::textChanged,
        [&](const QString& text) { seen << (red() ? text : "black " + text); });
    f.TextOutput->setEditText("Q");
    f.TextRepeat->setText("0.05");
    f.TextCount->setText("3");
    SetVbValue(f.CheckRepeat, 1);
    seen.clear();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !IsSet(f.CheckRepeat); }, 5000));
    EXPECT_EQ(h.comm.writes.size(), 3);
    EXPECT_EQ(seen.join(' '), QString("2 1 "));
    EXPECT_FALSE(red() || f.RepeatTimer->isEnabled());
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
