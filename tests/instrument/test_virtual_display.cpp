#include "instrument/virtual_display.h"

#include <gtest/gtest.h>

TEST(VirtualDisplay, MarksShareThePositionBeforeThem)
{
    struct Case {
        int positions;
        const char* text;
        const char* shown;
    };
    const Case cases[] = {
        { 6, "HELLO", "HELLO " },
        { 6, "HELLO WORLD", "HELLO " },
        { 6, "12.5 C, 7.0 V", "12.5 C, " },
        { 3, "1.2.3", "1.2.3" },
        { 3, "1.2.3.", "1.2.3." },
        { 3, "..", ".. " },
        { 3, "A!!", "A!! " },
        { 2, ".A.B", ".A." },
        { 4, "", "    " },
    };
    for (const Case& c : cases) {
        VirtualDisplay display(c.positions);
        display.Show(c.text);
        EXPECT_EQ(display.Shown(), QByteArray(c.shown)) << c.text << " on " << c.positions;
    }
}
