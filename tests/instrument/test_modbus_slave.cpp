#include "instrument/checksums.h"
#include "instrument/modbus_slave.h"

#include <gtest/gtest.h>

namespace
{

QByteArray WithCrc(QByteArray frame)
{
    const quint16 crc = ModbusCrc(frame);
    return frame.append(char(crc & 0xFF)).append(char(crc >> 8));
}

} // namespace

TEST(ModbusSlave, TheTerminalsReadGetsAReplyWithAValidCrc)
{
    ModbusSlave slave(1);
    const QByteArray reply = slave.Reply(QByteArray::fromHex("01 03 00 00 00 01 84 0A"), false);
    EXPECT_EQ(reply.toHex(' '), QByteArray("01 03 02 00 00 b8 44"));
}

// Rows run in order on one slave, so writes show in later reads.
TEST(ModbusSlave, ServesRegistersAndAnswersEachException)
{
    const std::pair<const char*, const char*> exchanges[] = {
        { "04 00 05 00 02", "04 04 00 05 00 06" },
        { "03 00 63 00 01", "03 02 00 63" },
        { "06 00 0A 12 34", "06 00 0A 12 34" },
        { "03 00 0A 00 01", "03 02 12 34" },
        { "10 00 00 00 02 04 AB CD 00 01", "10 00 00 00 02" },
        { "03 00 00 00 03", "03 06 AB CD 00 01 00 02" },
        { "05 00 00 FF 00", "85 01" },
        { "03 00 63 00 02", "83 02" },
        { "06 00 64 00 01", "86 02" },
        { "10 00 63 00 02 04 00 01 00 02", "90 02" },
        { "03 00 00 00 00", "83 03" },
        { "04 00 00 00 7E", "84 03" },
        { "10 00 00 00 02 03 AB CD 00", "90 03" },
        { "03 00 00", "83 03" },
    };
    ModbusSlave slave(7);
    for (const auto& [request, pdu] : exchanges) {
        const QByteArray expected = WithCrc('\x07' + QByteArray::fromHex(pdu));
        EXPECT_EQ(slave.Reply(WithCrc('\x07' + QByteArray::fromHex(request)), false).toHex(' '),
            expected.toHex(' '))
            << request;
    }
}

TEST(ModbusSlave, StaysSilentForABadCrcOrAnotherId)
{
    ModbusSlave slave(1);
    EXPECT_TRUE(slave.Reply(QByteArray::fromHex("01 03 00 00 00 01 84 0B"), false).isEmpty());
    EXPECT_TRUE(slave.Reply(WithCrc(QByteArray::fromHex("02 03 00 00 00 01")), false).isEmpty());
    EXPECT_TRUE(slave.Reply(QByteArray::fromHex("01 03 0A"), false).isEmpty());
}

TEST(ModbusSlave, BadCheckSpoilsTheReplyCrc)
{
    ModbusSlave slave(1);
    const QByteArray reply = slave.Reply(QByteArray::fromHex("01 03 00 00 00 01 84 0A"), true);
    ASSERT_EQ(reply.size(), 7);
    EXPECT_EQ(reply.first(5).toHex(' '), QByteArray("01 03 02 00 00"));
    EXPECT_NE(WithCrc(reply.first(5)), reply);
}
