#include "app/display_label.h"
#include "app/vb_controls.h"
#include "form_harness.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

namespace
{

QByteArray Bytes(const char* hex)
{
    return QByteArray::fromHex(hex);
}

QString Shown(const QByteArray& bytes)
{
    return bytes.isEmpty() ? QString() : QString::fromLatin1(bytes.toHex(' ').toUpper()) + ' ';
}

void Send(DurnixForm& f, const QString& command)
{
    f.TextOutput->setEditText(command);
    f.CommandSend->click();
}

QString State(const RememberedState& state)
{
    return state ? QString::number(*state) : QStringLiteral("-");
}

// The recent list as "text:disp/hex" per position, from the combo's own items.
QString Recent(const DurnixForm& f)
{
    QStringList entries;
    for (int k = 0; k < 5; ++k)
        entries << f.TextOutput->itemText(k) + ':' + State(f.Recent.disp[k]) + '/' + State(f.Recent.hex[k]);
    return entries.join(' ');
}

} // namespace

TEST(FormSend, RecentListKeepsFiveNewestWithTheStatesOfTheirFirstSend)
{
    FormHarness h;
    DurnixForm& f = h.Start();
    const struct {
        const char* command;
        int disp, hex;
        const char* list;
    } steps[] = {
        { "", 1, 1, ":-/- :-/- :-/- :-/- :-/-" }, // an empty entry already matches
        { "A", 0, 0, "A:0/0 :-/- :-/- :-/- :-/-" },
        { "B", 1, 0, "B:1/0 A:0/0 :-/- :-/- :-/-" },
        { "C", 0, 1, "C:0/1 B:1/0 A:0/0 :-/- :-/-" },
        { "D", 2, 1, "D:2/1 C:0/1 B:1/0 A:0/0 :-/-" },
        { "E", 1, 1, "E:1/1 D:2/1 C:0/1 B:1/0 A:0/0" },
        { "F", 0, 2, "F:0/2 E:1/1 D:2/1 C:0/1 B:1/0" },
        { "B", 0, 1, "F:0/2 E:1/1 D:2/1 C:0/1 B:1/0" }, // stays put with its first states
        { "b", 1, 1, "b:1/1 F:0/2 E:1/1 D:2/1 C:0/1" },
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(std::string("send ") + step.command);
        SetVbValue(f.CheckDisp, step.disp);
        SetVbValue(f.CheckHex, step.hex);
        const qsizetype writes = h.comm.writes.size();
        Send(f, step.command);
        EXPECT_EQ(Recent(f), QString(step.list));
        for (int k = 0; k < 5; ++k)
            EXPECT_EQ(f.Recent.texts[k], f.TextOutput->itemText(k)) << k;
        EXPECT_EQ(f.TextOutput->currentText(), QString(step.command));
        EXPECT_TRUE(f.OptionModeFree->isChecked());
        EXPECT_EQ(f.ModeFreeDisp, step.disp);
        EXPECT_EQ(h.comm.writes.size(), writes + 1);
    }
}

TEST(FormSend, GeneratingModesRememberTheirDispButLeaveTheRecentList)
{
    FormHarness h;
    QFile file(h.folder.filePath("commands.txt"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("HELLO");
    file.close();
    h.fileToChoose = file.fileName();
    DurnixForm& f = h.Start();
    Send(f, "KEPT");
    const QString list = Recent(f);
    const struct {
        QRadioButton* DurnixForm::*option;
        int disp;
        double DurnixForm::*memory;
    } cases[] = {
        { &DurnixForm::OptionModeTime, 0, &DurnixForm::ModeTimeDisp },
        { &DurnixForm::OptionModeFile, 2, &DurnixForm::ModeFileDisp },
        { &DurnixForm::OptionModeTime, 1, &DurnixForm::ModeTimeDisp },
        { &DurnixForm::OptionModeFile, 0, &DurnixForm::ModeFileDisp },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE((f.*c.option)->objectName().toStdString() + " disp " + std::to_string(c.disp));
        (f.*c.option)->setChecked(true);
        SetVbValue(f.CheckDisp, c.disp);
        f.CommandSend->click();
        EXPECT_EQ(f.*c.memory, c.disp);
        EXPECT_TRUE((f.*c.option)->isChecked());
        EXPECT_EQ(Recent(f), list);
        EXPECT_EQ(f.ModeFreeDisp, 0);
    }
}

TEST(FormSend, EnterInTheCommandBoxSendsOnce)
{
    FormHarness h;
    DurnixForm& f = h.Start();
    h.comm.writes.clear();
    f.TextOutput->setEditText("ENTER");
    QTest::keyClick(f.TextOutput->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(h.comm.writes,
        QList<QByteArray>({ Bytes("80454e54455203") + char(0x03 ^ 'E' ^ 'N' ^ 'T' ^ 'E' ^ 'R') }));
    EXPECT_EQ(f.TextOutput->itemText(0), QString("ENTER"));
}

TEST(FormSend, EachProtocolFramesTheCommandAndShowsThePacket)
{
    FormHarness h;
    DurnixForm& f = h.Start();
    const struct {
        int protocol;
        const char* address;
        const char* command;
        bool hex;
        const char* packet;
    } cases[] = {
        { 0, "1", "DISP HELLO", false, "81444953502048454c4c4f036f" },
        { 1, "1", "DISP HELLO", false, "81444953502048454c4c4f03" },
        { 2, "1", "DISP HELLO", false, "81444953502048454c4c4f0370" },
        { 0, "128", "A", false, "80410342" },
        { 0, "0", "", false, "800303" },
        { 3, "9", "DISP HELLO", false, "444953502048454c4c4f0d0a" },
        { 4, "0", "", false, "804d4e20303030310321" },
        { 5, "9", "A<13>B", false, "410d42" },
        { 6, "247", "03 00 00 00 01", true, "f70300000001909c" },
        { 7, "9", "02 80 00 00", true, "ffffffffff0280000082" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.protocol) + " " + c.command);
        f.ComboProt->setCurrentIndex(c.protocol);
        f.TextAddr->setText(c.address);
        SetVbValue(f.CheckHex, c.hex);
        f.ResponseState = 2;
        h.comm.raise(MSComm::comEventFrame);
        ASSERT_EQ(f.LineErrors, 1);
        h.comm.log.clear();
        Send(f, c.command);
        const QByteArray packet = Bytes(c.packet);
        ASSERT_FALSE(h.comm.writes.isEmpty());
        EXPECT_EQ(h.comm.writes.last().toHex(), packet.toHex());
        EXPECT_EQ(h.comm.log, QStringList({ "DISCARD", "WRITE " + Shown(packet).trimmed() }));
        EXPECT_EQ(f.TextOutputhex->text(), Shown(packet));
        EXPECT_EQ(f.ResponseState, 0);
        EXPECT_EQ(f.LineErrors, 0);
    }
    EXPECT_EQ(h.beeps, 0);
}

TEST(FormSend, ClosedPortShowsThePacketBeepsAndKeepsTheAnswerState)
{
    FormHarness h;
    DurnixForm& f = h.Start();
    Send(f, "Q");
    h.comm.receive(Bytes("0631"));
    ASSERT_EQ(f.ResponseState, 1);
    h.comm.setPortOpen(false);
    h.comm.log.clear();
    Send(f, "Z");
    EXPECT_EQ(h.beeps, 1);
    EXPECT_EQ(f.TextOutputhex->text(), QString("80 5A 03 59 "));
    EXPECT_EQ(f.TextInputHex->text(), QString());
    EXPECT_EQ(f.TextInput->text(), QString("1"));
    EXPECT_EQ(f.ResponseState, 1);
    EXPECT_TRUE(h.comm.log.isEmpty());
    EXPECT_EQ(f.TextOutput->itemText(0), QString("Z")) << "the list is updated even with the port closed";
    EXPECT_EQ(f.TextOutput->itemText(1), QString("Q"));
}

TEST(FormSend, EscapeOutsideAByteOnlyBeeps)
{
    FormHarness h;
    DurnixForm& f = h.Start();
    Send(f, "Q");
    h.comm.receive(Bytes("0631"));
    const QString packetShown = f.TextOutputhex->text();
    const QString rawShown = f.TextInputHex->text();
    const QString answerShown = f.TextInput->text();
    const QStringList log = h.comm.log;
    int beeps = 0;
    for (const char* command : { "<256>", "A<-1>B", "<300>", "x<65536>" }) {
        SCOPED_TRACE(command);
        Send(f, command);
        EXPECT_EQ(h.beeps, ++beeps);
        EXPECT_EQ(f.TextOutputhex->text(), packetShown);
        EXPECT_EQ(f.TextInputHex->text(), rawShown);
        EXPECT_EQ(f.TextInput->text(), answerShown);
        EXPECT_EQ(f.ResponseState, 1);
        EXPECT_EQ(h.comm.log, log);
        EXPECT_EQ(f.TextOutput->itemText(0), QString(command)) << "still entered in the list";
    }
}

TEST(FormSend, InterpretedAnswerStaysAcrossSendsOnlyWithARepeatInterval)
{
    FormHarness h;
    DurnixForm& f = h.Start();
    const struct {
        const char* interval;
        const char* answerBefore; // TextInput right after the send
        const char* reply; // bytes the device then sends
        const char* answerAfter;
    } steps[] = {
        { "5", "", "0631320306", "12" }, { "5", "12", "", "12" }, // complete answer kept
        { "5", "", "0631320306", "12" }, // no answer at all: cleared
        { "0", "", "0631", "1" }, // no interval: cleared at every send
        { "5", "1", "", "1" }, // an answer still arriving is kept too
    };
    int n = 0;
    for (const auto& step : steps) {
        SCOPED_TRACE("step " + std::to_string(++n));
        f.TextRepeat->setText(step.interval);
        Send(f, "Q");
        EXPECT_EQ(f.TextInput->text(), QString(step.answerBefore));
        EXPECT_EQ(f.TextInputHex->text(), QString());
        if (*step.reply)
            h.comm.receive(Bytes(step.reply));
        EXPECT_EQ(f.TextInput->text(), QString(step.answerAfter));
    }
}
