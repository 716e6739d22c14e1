#include "serial/line_change_detector.h"

#include "serial/mscomm.h"

#include <gtest/gtest.h>

namespace {

TEST(LineChangeDetector, RaisesNothingForTheFirstReadingOrFallingCounters)
{
    const LineReading counted { .ringCount = 5, .frameCount = 5, .parityCount = 5 };
    LineChangeDetector detector;
    EXPECT_TRUE(detector.Feed(counted).isEmpty());
    EXPECT_TRUE(detector.Feed(LineReading {}).isEmpty()) << "a counter that fell";
    detector.Reset();
    EXPECT_TRUE(detector.Feed(counted).isEmpty()) << "first reading after Reset";
}

TEST(LineChangeDetector, RaisesTheCodesOfWhatChangedOnce)
{
    const struct {
        const char* name;
        LineReading after;
        QList<int> codes;
    } cases[] = {
        { "nothing", {}, {} },
        { "cts rises", { .cts = true }, { MSComm::comEvCTS } },
        { "dsr pulse between readings", { .dsrCount = 2 }, { MSComm::comEvDSR } },
        { "dcd state and counter", { .dcd = true, .dcdCount = 1 }, { MSComm::comEvCD } },
        { "ring", { .ringCount = 1 }, { MSComm::comEvRing } },
        { "framing", { .frameCount = 3 }, { MSComm::comEventFrame } },
        { "parity", { .parityCount = 1 }, { MSComm::comEventRxParity } },
        { "everything, lines before ring before errors", { true, true, true, 0, 0, 0, 1, 1, 1 },
            { MSComm::comEvCTS, MSComm::comEvDSR, MSComm::comEvCD, MSComm::comEvRing, MSComm::comEventFrame,
                MSComm::comEventRxParity } },
    };
    for (const auto& [name, after, codes] : cases) {
        LineChangeDetector detector;
        detector.Feed(LineReading {});
        EXPECT_EQ(detector.Feed(after), codes) << name;
        EXPECT_TRUE(detector.Feed(after).isEmpty()) << name << ": raised again without a change";
    }
}

} // namespace
