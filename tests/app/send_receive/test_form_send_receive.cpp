// The send, receive and repeat handlers on FakeComm: framing, recognising answers and counting are the
// core's.
#include "form_harness.h"

static void Send(DurnixForm& f, const QString& command)
{
    f.TextOutput->setEditText(command);
    f.CommandSend->click();
}

using FormSend = StartedForm;
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
}

// The count goes down at each tick (the port-failure test watches it); at 0 repetition ends.
TEST_F(FormRepeat, CountLimitsTheSends)
{
    f.TextOutput->setEditText("Q");
    f.TextRepeat->setText("0.05");
    f.TextCount->setText("3");
    SetVbValue(f.CheckRepeat, 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !IsSet(f.CheckRepeat); }, 5000));
    EXPECT_EQ(h.comm.writes.size(), 3);
    EXPECT_FALSE(f.RepeatTimer->isEnabled());
}

TEST_F(FormRepeat, WaitForAnAnswerAndStopAtAManualSend)
{
    int ticks = 0;
    QObject::connect(f.RepeatTimer, &IntervalTimer::timeout, [&] { ++ticks; });
    SetVbValue(f.CheckWaitForResponse, 1);
    Send(f, "Q");
    h.comm.receive(QByteArray::fromHex("0631"));
    // Switched on while an answer was arriving, so the first tick sends.
    f.TextRepeat->setText("0.05");
    SetVbValue(f.CheckRepeat, 1);
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
