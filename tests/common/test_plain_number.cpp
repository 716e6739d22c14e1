#include "common/plain_number.h"

#include <gtest/gtest.h>

TEST(PlainNumber, WritesAsManyDecimalsAsNeeded)
{
    const std::pair<double, const char*> cases[] = {
        {2, "2"}, {1.5, "1.5"}, {-1, "-1"}, {0.5, "0.5"}, {-0.0, "0"}, {1e20, "100000000000000000000"}, {0.1, "0.1"}};
    for (auto [value, text] : cases)
        EXPECT_EQ(PlainNumber(value), QString(text)) << value;
}
