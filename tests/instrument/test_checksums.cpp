#include "instrument/checksums.h"

#include <gtest/gtest.h>

TEST(InstrumentChecksums, MatchTheKnownValues)
{
    EXPECT_EQ(ModbusCrc("123456789"), 0x4B37);
    EXPECT_EQ(ModbusCrc(QByteArray::fromHex("F7 03 00 00 00 01")), 0x9C90);
    EXPECT_EQ(RavoCheck("DISP HELLO"), 0xAC);
    EXPECT_EQ(RavoCheck(""), 0x01);
    EXPECT_EQ(XorCheck(QByteArray::fromHex("31 32 03"), 0x06), 0x06);
}
