#include "instrument/stream_text.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

TEST(StreamText, KeepsToItsRateWithoutBurstingAfterAStall)
{
    StreamText stream(1000);
    QByteArray sent;
    for (int tick = 0; tick < 300; ++tick)
        sent += stream.Take(3333us);
    EXPECT_NEAR(double(sent.size()), 1000.0, 2.0) << "one second in 3.333 ms steps";
    EXPECT_EQ(stream.Take(1h).size(), 100) << "at most 100 ms worth after a stall";
    EXPECT_EQ(
        sent.first(64), QByteArray("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz\r\n"));
    EXPECT_EQ(sent.sliced(64, 64), sent.first(64)) << "the text runs on across takes";
}
