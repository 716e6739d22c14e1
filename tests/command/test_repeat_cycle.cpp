#include "command/device_address.h"
#include "command/repeat_cycle.h"

#include <climits>
#include <gtest/gtest.h>

TEST(RepeatInterval, IsTheMagnitudeInMilliseconds)
{
    const std::pair<const char*, qint64> cases[] = {{"0.5", 500}, {"abc", 0}, {"-2", 2000}, {"", 0},
        {"0.0005", 0}, {"0.0015", 2}, {"65.535", 65535}, {"100", 100000}, {"1e400", INT_MAX}};
    for (auto [text, ms] : cases)
        EXPECT_EQ(RepeatIntervalMs(QString::fromLatin1(text)), ms) << text;
}

TEST(RepeatCount, CountsDownOnlyAWholeNumber)
{
    struct Case {
        const char* text;
        RepeatCountStep::Kind kind;
        const char* remaining;
    };
    const Case cases[] = {{"3", RepeatCountStep::CountDown, "2"}, {"2", RepeatCountStep::CountDown, "1"},
        {"1", RepeatCountStep::LastSend, ""}, {"0", RepeatCountStep::LastSend, ""},
        {"2.5", RepeatCountStep::CountDown, "1.5"}, {"1.5", RepeatCountStep::CountDown, "0.5"},
        {"0.5", RepeatCountStep::LastSend, ""}, {" 3 ", RepeatCountStep::CountDown, "2"},
        {"1e1", RepeatCountStep::CountDown, "9"}, {"", RepeatCountStep::NoLimit, ""},
        {"x", RepeatCountStep::NoLimit, ""}, {"3x", RepeatCountStep::NoLimit, ""}};
    for (const Case& c : cases) {
        const RepeatCountStep step = NextRepeatCount(QString::fromLatin1(c.text));
        EXPECT_EQ(step.kind, c.kind) << c.text;
        EXPECT_EQ(step.remaining, QString::fromLatin1(c.remaining)) << c.text;
    }
}

TEST(AddressNumber, RoundsAndStaysInRange)
{
    EXPECT_EQ(AddressNumber(u"1.5"), 2);
    EXPECT_EQ(AddressNumber(u"2.5"), 2);
    EXPECT_EQ(AddressNumber(u"-1"), -1);
    EXPECT_EQ(AddressNumber(u"abc"), 0);
    EXPECT_EQ(AddressNumber(u"1e300"), std::numeric_limits<qint64>::max());
    EXPECT_EQ(AddressNumber(u"-1e300"), std::numeric_limits<qint64>::min());
}
