#include "command/rts_interval.h"

#include <cfloat>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace
{

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();

struct RtsCase {
    qsizetype bytes;
    double dataBits;
    int parity;
    double stopBits;
    double baud;
    int interval;
};

TEST(RtsIntervalMs, CoversThePacketOnTheLine)
{
    const RtsCase cases[] = {
        { 13, 8, 0, 1, 9600, 14 }, // 14.0625 rounds down but stays above the 13.54 ms on the line
        { 8, 8, 0, 1, 19200, 5 }, // 4.43 would drop RTS before the 4.17 ms on the line end
        { 1, 8, 0, 1, 38400, 1 },
        { 10, 7, 2, 2, 1200, 96 }, // any parity entry but the first counts one bit
        { 10, 8, -1, 1, 1000, 94 }, // no parity entry selected takes a bit off; 94.5 rounds to even
        { 1000000, 8, 0, 1, 300, 65535 },
        { 0, 8, 0, 1, 9600, 1 },
    };
    for (const RtsCase& c : cases)
        EXPECT_EQ(RtsIntervalMs(c.bytes, c.dataBits, c.parity, c.stopBits, c.baud), c.interval) << c.bytes;
}

TEST(RtsIntervalMs, MeaninglessPortSettingsGiveOneMillisecond)
{
    const RtsCase cases[] = {
        { 13, 8, 0, 1, 0, 1 },
        { 13, 8, 0, 1, -9600, 1 },
        { 13, 8, 0, 1, NaN, 1 },
        { 13, 8, 0, 1, Inf, 1 },
        { 13, 8, 0, 1, DBL_MAX, 1 },
        { 13, NaN, 0, 1, 9600, 1 },
        { 13, -Inf, 0, 1, 9600, 1 },
        { 13, -2, -1, 0, 9600, 1 },
        { 13, -1, 0, 0, 9600, 1 },
        { -5, 8, 0, 1, 9600, 1 },
    };
    for (const RtsCase& c : cases)
        EXPECT_EQ(RtsIntervalMs(c.bytes, c.dataBits, c.parity, c.stopBits, c.baud), c.interval)
            << c.dataBits << " bits at " << c.baud;
}

TEST(RtsIntervalMs, NeverEndsBeforeTheLastBitLeaves)
{
    for (qsizetype bytes : { 1, 2, 3, 7, 8, 13, 64, 255, 1000, 7000 }) {
        for (double baud :
            { 110., 300., 1200., 2400., 4800., 9600., 14400., 19200., 38400., 57600., 115200. }) {
            for (double stopBits : { 1., 1.5, 2. }) {
                const double lineMs = std::ceil(bytes * (8 + 1 + 1 + stopBits) * 1000 / baud);
                const int interval = RtsIntervalMs(bytes, 8, 2, stopBits, baud);
                EXPECT_GE(interval, std::min(lineMs, 65535.)) << bytes << " bytes at " << baud;
                EXPECT_LE(interval, 65535);
            }
        }
    }
}

} // namespace
