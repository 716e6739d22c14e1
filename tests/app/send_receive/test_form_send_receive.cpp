// The send, receive and repeat handlers on FakeComm: framing, recognising answers and counting are the
// core's.
#include "form_harness.h"

static void Send(DurnixForm& f, const QString& command)
{
    f.TextOutput->setEditText(command);
    QTest::mouseClick(f.CommandSend, Qt::LeftButton);
}

// The interpreted display and ResponseState, as "text|state".
static QString Answer(const DurnixForm& f)
{
    return f.TextInput->text() + '|' + QString::number(f.ResponseState);
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
}

// The interpreted answer outlives a send only when it answered the previous packet and a repeat interval
// is set; a send on a closed port leaves ResponseState as it was.
TEST_F(FormSend, InterpretedAnswerIsKeptOnlyAfterAnAnswerWithAnIntervalAndAClosedPortKeepsTheState)
{
    // The repeat interval, the answer to the previous packet, whether the port is open; after the send.
    const std::tuple<const char*, const char*, bool, const char*> sends[]
        = { { "5", "06310334", true, "1|0" }, { "5", "", true, "|0" }, { "5", "06320337", false, "2|2" },
              { "0", "", true, "|0" } };
    for (const auto& [interval, reply, open, after] : sends) {
        f.TextRepeat->setText(interval);
        if (*reply)
            h.comm.receive(QByteArray::fromHex(reply));
        h.comm.setPortOpen(open);
        Send(f, "Q");
        EXPECT_EQ(Answer(f), QString(after)) << interval << ' ' << reply << ' ' << open;
    }
}

// Each chunk is read by the protocol selected when it arrives. A click on the interpreted answer clears only
// its text, until the next chunk redraws the whole answer.
TEST_F(FormReceive, EachChunkIsReadByTheProtocolSelectedThenAndAClickClearsOnlyTheText)
{
    Send(f, "Q");
    h.comm.receive(QByteArray::fromHex("0631"));
    QTest::mouseClick(f.TextInput, Qt::LeftButton);
    EXPECT_EQ(Answer(f) + '|' + f.TextInputHex->text(), QString("|1|06 31 "));
    f.ComboProt->setCurrentIndex(5); // "As is": complete at any byte
    h.comm.receive("2");
    EXPECT_EQ(Answer(f) + '|' + f.TextInputHex->text(), QString("12|2|06 31 32 "));
}

// Only what the operator typed is listed: a running value or a file text never is.
TEST_F(FormSend, SendsInRunningOrFileModeLeaveTheRecentListAlone)
{
    for (QRadioButton* mode : { f.OptionModeTime, f.OptionModeFile }) {
        f.TextOutput->setEditText("typed");
        mode->setChecked(true);
        QTest::mouseClick(f.CommandSend, Qt::LeftButton);
    }
    ASSERT_EQ(h.comm.writes.size(), 2);
    QStringList listed;
    for (int i = 0; i < f.TextOutput->count(); ++i)
        listed << f.TextOutput->itemText(i);
    EXPECT_EQ(listed, QStringList(5, QString()));
}

// A tick sends when waiting is off or the answer is complete, and counts only a command that went out; the
// last count switches repetition off and empties the box.
TEST_F(FormRepeat, ATickSendsAndCountsOnlyWhenItMay)
{
    // Waiting, ResponseState, command and count; after the tick: writes, the count and the repeat box.
    const std::tuple<int, qint16, const char*, const char*, const char*> ticks[]
        = { { 1, 1, "Q", "3", "0|3|1" }, { 1, 2, "Q", "3", "1|2|1" }, { 0, 2, "<256>", "3", "0|3|1" },
              { 0, 2, "Q", "1", "1||0" } };
    for (const auto& [waiting, state, command, count, after] : ticks) {
        SetVbValue(f.CheckWaitForResponse, waiting);
        SetVbValue(f.CheckRepeat, 1);
        f.ResponseState = state;
        f.TextOutput->setEditText(command);
        f.TextCount->setText(count);
        h.comm.writes.clear();
        f.RepeatTimer_Timer();
        EXPECT_EQ(QString("%1|%2|%3")
                      .arg(h.comm.writes.size())
                      .arg(f.TextCount->text())
                      .arg(VbValue(f.CheckRepeat)),
            QString(after))
            << waiting << ' ' << state << ' ' << command << ' ' << count;
    }
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
