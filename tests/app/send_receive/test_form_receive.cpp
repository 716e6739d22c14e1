#include "app/display_label.h"
#include "form_harness.h"

#include <QComboBox>
#include <QDebug>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <random>

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

// A send resets the answer state, so each answer below starts afresh.
void SendWith(DurnixForm& f, int protocol)
{
    f.ComboProt->setCurrentIndex(protocol);
    f.TextOutput->setEditText("Q");
    f.CommandSend->click();
}

const struct Answer {
    const char* name;
    int protocol;
    const char* bytes;
    const char* text;
    int completeAt; // bytes received when the answer is complete; 0 never
} kAnswers[] = {
    { "vxb ack", 0, "0631320306", "12", 5 },
    { "vxb bad check", 0, "0631320300", "12<BCCERR>", 5 },
    { "vxb nak", 1, "150316", "<NAK>", 3 },
    { "vxb empty ack", 2, "060305", "<>", 3 },
    { "noise before ack", 0, "41420631 0334", "1", 6 },
    { "ack restarts the text", 0, "0631063203 37", "2", 6 },
    { "nak inside the text", 0, "0631153203 24", "<NAK>2", 6 },
    { "cr breaks the line", 0, "06410d4203 0b", "A<13>\nB", 6 },
    { "check byte never comes", 0, "06313203", "12", 0 },
    { "bytes after the check", 0, "0631320306 4142", "12", 5 },
    { "hart", 7, "ffff86 8011223344 01 02 3132 00", "<134><128><17>\"3D<1><2>12<0>", 13 },
    { "hart after noise", 7, "12ff13 ffff86 8011223344 01 00 aa", "<134><128><17>\"3D<1><0><170>", 14 },
    { "as is", 5, "41420d0a", "AB<13>\n<10>", 1 },
    { "ascii crlf", 3, "7e7f80ff", "~<127><128><255>", 1 },
    { "modbus", 6, "0103022a00", "<1><3><2>*<0>", 1 },
};

} // namespace

TEST(FormReceive, AnswersByteByByteAreRecognisedAndCompletedAtTheirLastByte)
{
    FormHarness h;
    DurnixForm& f = h.Start();
    for (const Answer& answer : kAnswers) {
        SCOPED_TRACE(answer.name);
        SendWith(f, answer.protocol);
        ASSERT_EQ(f.ResponseState, 0);
        const QByteArray bytes = Bytes(answer.bytes);
        for (int i = 0; i < bytes.size(); ++i) {
            h.comm.receive(bytes.mid(i, 1));
            const int expected = answer.completeAt && i + 1 >= answer.completeAt ? 2 : 1;
            ASSERT_EQ(f.ResponseState, expected) << "after byte " << i + 1;
        }
        EXPECT_EQ(f.TextInput->text(), QString(answer.text));
        EXPECT_EQ(f.TextInputHex->text(), Shown(bytes));
    }
}

TEST(FormReceive, AnswerSplitAnywhereGivesTheSameDisplaysAsOneChunk)
{
    FormHarness h;
    DurnixForm& f = h.Start();
    std::mt19937 random(20240611);
    for (const Answer& answer : kAnswers) {
        const QByteArray bytes = Bytes(answer.bytes);
        SendWith(f, answer.protocol);
        h.comm.receive(bytes);
        const QString text = f.TextInput->text(), hex = f.TextInputHex->text();
        const qint16 state = f.ResponseState;
        for (int trial = 0; trial < 20; ++trial) {
            SendWith(f, answer.protocol);
            QList<int> cuts;
            for (qsizetype at = 0; at < bytes.size();) {
                const int length = std::uniform_int_distribution<int>(1, 4)(random);
                cuts << length;
                h.comm.receive(bytes.mid(at, length));
                at += length;
            }
            ASSERT_EQ(f.TextInput->text(), text)
                << answer.name << " chunks " << QDebug::toString(cuts).toStdString();
            ASSERT_EQ(f.TextInputHex->text(), hex) << answer.name;
            ASSERT_EQ(f.ResponseState, state) << answer.name;
        }
    }
}

TEST(FormReceive, AnswerIsRecognisedByTheProtocolSelectedWhenItArrives)
{
    FormHarness h;
    DurnixForm& f = h.Start();
    const struct {
        int sentWith, answeredWith;
        const char* bytes;
        const char* text;
        int state;
    } cases[] = {
        { 5, 0, "0631320306", "12", 2 },
        { 0, 5, "0631320306", "<6>12<3><6>", 2 },
        { 7, 1, "ffff0631", "1", 1 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        SendWith(f, c.sentWith);
        f.ComboProt->setCurrentIndex(c.answeredWith);
        h.comm.receive(Bytes(c.bytes));
        EXPECT_EQ(f.TextInput->text(), QString(c.text));
        EXPECT_EQ(f.ResponseState, c.state);
    }
}

TEST(FormReceive, ClickOnTheAnswerClearsItUntilTheNextChunk)
{
    FormHarness h;
    DurnixForm& f = h.Start();
    f.show();
    SendWith(f, 0);
    h.comm.receive(Bytes("0631"));
    h.comm.raise(MSComm::comEventRxParity);
    ASSERT_EQ(f.LineErrors, 2);
    QTest::mouseClick(f.TextInput, Qt::LeftButton);
    EXPECT_EQ(f.TextInput->text(), QString());
    EXPECT_EQ(f.TextInputHex->text(), QString("06 31 "));
    EXPECT_EQ(f.LineErrors, 0);
    EXPECT_EQ(f.ResponseState, 1);
    h.comm.receive(Bytes("32"));
    EXPECT_EQ(f.TextInput->text(), QString("12")) << "the next chunk redraws the whole answer";
    h.comm.receive(Bytes("0306"));
    EXPECT_EQ(f.ResponseState, 2);
}

TEST(FormReceive, EndlessStreamKeepsTheNewestOfBothDisplays)
{
    FormHarness h;
    DurnixForm& f = h.Start();
    SendWith(f, 5);
    QByteArray chunk(4000, '\0');
    int next = 0;
    QByteArray last;
    for (int sent = 0; sent < 1000000; sent += chunk.size()) {
        for (char& byte : chunk)
            byte = char('A' + next++ % 26);
        h.comm.receive(chunk);
        last = (last + chunk).right(32767);
    }
    EXPECT_EQ(f.TextInput->text(), QString::fromLatin1(last));
    EXPECT_EQ(f.TextInputHex->text(), Shown(last.right(32766 / 3)));
    EXPECT_EQ(f.ResponseState, 2);
}
