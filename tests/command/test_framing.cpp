#include "command/framing.h"

#include <gtest/gtest.h>
#include <limits>

namespace
{

struct FrameCase {
    QByteArray command;
    int protocol;
    qint64 address;
    const char* packet;
};

const QByteArray Hello = "DISP HELLO";
const QByteArray ReadRegister = QByteArray::fromHex("0300000001");

TEST(FramePacket, FramesEachProtocolByteForByte)
{
    const FrameCase cases[] = {
        { Hello, VxbWithBcc, 1, "81 44 49 53 50 20 48 45 4C 4C 4F 03 6F" },
        { Hello, VxbNoBcc, 1, "81 44 49 53 50 20 48 45 4C 4C 4F 03" },
        { Hello, VxbWrongBcc, 1, "81 44 49 53 50 20 48 45 4C 4C 4F 03 70" },
        { Hello, AsciiCrlf, 1, "44 49 53 50 20 48 45 4C 4C 4F 0D 0A" },
        { Hello, VxbRavo, 1,
            "81 4D 4E 20 30 30 34 34 34 39 35 33 35 30 32 30 34 38 34 35 34 43 34 43 34 46 41 43 03 51" },
        { Hello, AsIs, 1, "44 49 53 50 20 48 45 4C 4C 4F" },
        { Hello, ModbusRtu, 1, "01 44 49 53 50 20 48 45 4C 4C 4F 49 27" },
        { Hello, Hart, 1, "FF FF FF FF FF 44 49 53 50 20 48 45 4C 4C 4F 6C" },
        { ReadRegister, ModbusRtu, 1, "01 03 00 00 00 01 84 0A" },
        { ReadRegister, ModbusRtu, 247, "F7 03 00 00 00 01 90 9C" },
        { QByteArray::fromHex("02800000"), Hart, 1, "FF FF FF FF FF 02 80 00 00 82" },
        { "", VxbWithBcc, 0, "80 03 03" }, { "", VxbRavo, 0, "80 4D 4E 20 30 30 30 31 03 21" },
        { "", Hart, 0, "FF FF FF FF FF 00" }, { "", VxbWrongBcc, 0, "80 03 04" },
        { QByteArray(1, '\xFC'), VxbWrongBcc, 0, "80 FC 03 00" }, // the wrong BCC wraps round
    };
    for (const FrameCase& c : cases)
        EXPECT_EQ(FramePacket(c.command, c.protocol, c.address).toHex(' ').toUpper().toStdString(), c.packet)
            << c.command.toStdString() << " at position " << c.protocol;
}

TEST(FramePacket, AddressKeepsOnlyItsLowBits)
{
    const std::pair<qint64, const char*> vxb[] = { { 1, "81" }, { 128, "80" }, { 200, "C8" }, { -1, "FF" },
        { std::numeric_limits<qint64>::min(), "80" }, { std::numeric_limits<qint64>::max(), "FF" } };
    for (auto [address, byte] : vxb)
        EXPECT_EQ(FramePacket("A", VxbWithBcc, address).toHex(' ').toUpper(), QByteArray(byte) + " 41 03 42")
            << address;
    const std::pair<qint64, char> modbus[] = { { 200, '\xC8' }, { 256, '\x00' }, { -1, '\xFF' } };
    for (auto [address, byte] : modbus)
        EXPECT_EQ(FramePacket("A", ModbusRtu, address).at(0), byte) << address;
}

TEST(FramePacket, UnaddressedProtocolsIgnoreTheAddress)
{
    for (int protocol : { int(AsciiCrlf), int(AsIs), int(Hart), -1, 8 })
        EXPECT_EQ(FramePacket(Hello, protocol, 0), FramePacket(Hello, protocol, 77)) << protocol;
    EXPECT_EQ(FramePacket(Hello, 8, 1), Hello);
    EXPECT_EQ(FramePacket(Hello, -1, 1), Hello);
}

TEST(ModbusCrc, MatchesTheStandardCheckValue)
{
    EXPECT_EQ(ModbusCrc("123456789"), 0x4B37);
    EXPECT_EQ(ModbusCrc(""), 0xFFFF);
}

} // namespace
