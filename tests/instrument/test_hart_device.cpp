#include "instrument/checksums.h"
#include "instrument/hart_device.h"

#include <QtEndian>
#include <cstring>
#include <gtest/gtest.h>

namespace
{

QByteArray WithCheck(const QByteArray& frameDigits)
{
    const QByteArray frame = QByteArray::fromHex(frameDigits);
    return QByteArray(5, char(0xFF)) + frame + char(XorCheck(frame));
}

// The answer after its preamble, as the terminal collects it from the delimiter.
QByteArray FromDelimiter(const QByteArray& answer)
{
    return answer.sliced(answer.indexOf(char(0x86)));
}

} // namespace

TEST(HartDevice, CommandZeroAnswersInALongFrameTheTerminalCompletesExactly)
{
    const QByteArray answer = HartAnswer(QByteArray::fromHex("FF FF FF FF FF 02 80 00 00 82"), false);
    ASSERT_TRUE(answer.startsWith(QByteArray(5, char(0xFF)) + char(0x86))) << answer.toHex(' ').constData();
    const QByteArray frame = FromDelimiter(answer);
    ASSERT_GE(frame.size(), 8);
    const int count = quint8(frame[7]);
    EXPECT_EQ(frame.size(), 9 + count);
    EXPECT_EQ(frame[6], '\0') << "command";
    EXPECT_EQ(frame.sliced(8, 3).toHex(' '), QByteArray("00 00 fe")) << "status, then the identity";
    EXPECT_EQ(XorCheck(frame.chopped(1)), quint8(frame.back()));
    EXPECT_EQ(quint8(frame[1]) & 0x80, 0x80) << "the master bit comes back";
}

TEST(HartDevice, CommandOneGivesTheUnitAndAFloat)
{
    const QByteArray frame = FromDelimiter(HartAnswer(WithCheck("02 80 01 00"), false));
    ASSERT_EQ(frame.size(), 9 + 7);
    EXPECT_EQ(frame.sliced(6, 5).toHex(' '), QByteArray("01 07 00 00 20"));
    const quint32 bits = qFromBigEndian<quint32>(frame.constData() + 11);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    EXPECT_FLOAT_EQ(value, 21.5f);
}

TEST(HartDevice, AnswersItsLongAddressAndIgnoresOthers)
{
    const QByteArray identity = FromDelimiter(HartAnswer(WithCheck("02 80 00 00"), false));
    const QByteArray ownAddress = identity.sliced(1, 5).toHex(' ');
    const std::pair<QByteArray, bool> requests[] = {
        { WithCheck("82 " + ownAddress + " 01 00"), true },
        { WithCheck("82 80 00 00 00 00 01 00"), true },
        { WithCheck("82 80 00 00 00 05 01 00"), false },
        { WithCheck("02 81 00 00"), false },
        { WithCheck("02 80 00 00").replace(9, 1, "\x83"), false },
        { WithCheck("02 80 00 02 00"), false },
        { QByteArray::fromHex("FF FF FF FF FF 44 49 53 50"), false },
    };
    for (const auto& [request, answered] : requests)
        EXPECT_EQ(!HartAnswer(request, false).isEmpty(), answered) << request.toHex(' ').constData();
}

TEST(HartDevice, OtherCommandsAreNotImplemented)
{
    const QByteArray frame = FromDelimiter(HartAnswer(WithCheck("02 80 03 00"), false));
    EXPECT_EQ(frame.sliced(6, 4).toHex(' '), QByteArray("03 02 40 00"));
    EXPECT_EQ(frame.size(), 9 + 2);
}

TEST(HartDevice, BadCheckSpoilsTheAnswersCheck)
{
    const QByteArray frame = FromDelimiter(HartAnswer(WithCheck("02 80 00 00"), true));
    EXPECT_NE(XorCheck(frame.chopped(1)), quint8(frame.back()));
}
