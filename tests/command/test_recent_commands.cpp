#include "command/recent_commands.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace
{

RecentCommands SentInTurn(const QStringList& commands)
{
    RecentCommands recent;
    double state = 0;
    for (const QString& command : commands) {
        recent.Remember(command, state, state + 10);
        ++state;
    }
    return recent;
}

TEST(RecentCommands, NewestFirstWithStatesTravelling)
{
    const RecentCommands recent = SentInTurn({ "A", "B", "C", "D", "E", "F" });
    const QString texts[] = { "F", "E", "D", "C", "B" };
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(recent.texts[k], texts[k]) << k;
        EXPECT_EQ(recent.disp[k], 5.0 - k) << k;
        EXPECT_EQ(recent.hex[k], 15.0 - k) << k;
    }
    EXPECT_FALSE(recent.disp[5].has_value());
}

TEST(RecentCommands, KnownCommandStaysPutWithItsFirstStates)
{
    RecentCommands recent = SentInTurn({ "A", "B", "C" });
    EXPECT_FALSE(recent.Remember("B", 1, 1));
    EXPECT_EQ(recent.texts[1], "B");
    EXPECT_EQ(recent.disp[1], 1.0);
    EXPECT_EQ(recent.hex[1], 11.0);
    EXPECT_EQ(recent.texts[0], "C");
}

TEST(RecentCommands, EmptyCommandMatchesAnEmptyEntry)
{
    RecentCommands recent = SentInTurn({ "A" });
    EXPECT_FALSE(recent.Remember("", 1, 1));
    EXPECT_EQ(recent.texts[0], "A");
    EXPECT_FALSE(recent.disp[1].has_value());
}

TEST(RecentCommands, ExactComparisonCountsCaseAndSpaces)
{
    RecentCommands recent = SentInTurn({ "abc" });
    EXPECT_TRUE(recent.Remember("ABC", 0, 0));
    EXPECT_TRUE(recent.Remember("abc ", 0, 0));
    EXPECT_EQ(recent.texts[2], "abc");
}

} // namespace
