#include "sources/running_values.h"

#include <gtest/gtest.h>

TEST(RunningValues, TimeLayoutsWriteTwoDigitFieldsWithDots)
{
    struct Case {
        QTime now;
        const char* layout;
        const char* expected;
    };
    const Case cases[] = {
        { QTime(0, 0, 0), "ss", "00" },
        { QTime(0, 0, 0), "hh.mm", "00.00" },
        { QTime(0, 0, 0), "hh.mm.ss", "00.00.00" },
        { QTime(0, 0, 0), "mm.ss", "00.00" },
        { QTime(9, 5, 7), "ss", "07" },
        { QTime(9, 5, 7), "hh.mm", "09.05" },
        { QTime(9, 5, 7), "hh.mm.ss", "09.05.07" },
        { QTime(9, 5, 7), "mm.ss", "05.07" },
        { QTime(23, 59, 59), "ss", "59" },
        { QTime(23, 59, 59), "hh.mm", "23.59" },
        { QTime(23, 59, 59), "hh.mm.ss", "23.59.59" },
        { QTime(23, 59, 59), "mm.ss", "59.59" },
    };
    for (const Case& c : cases) {
        qint16 runningNumber = 5;
        EXPECT_EQ(RunningValueText(c.layout, c.now, runningNumber), QString(c.expected))
            << c.layout << " at " << c.now.toString().toStdString();
        EXPECT_EQ(runningNumber, 5) << "time layouts leave the number alone";
    }
}

TEST(RunningValues, RunningNumberCountsUpAndHoldsAtItsTop)
{
    struct Case {
        qint16 start;
        const char* first;
        const char* second;
        qint16 after;
    };
    const Case cases[] = {
        { 0, "0", "1", 2 },
        { 32766, "32766", "32767", 32767 },
        { 32767, "32767", "32767", 32767 },
    };
    for (const Case& c : cases) {
        qint16 runningNumber = c.start;
        EXPECT_EQ(RunningValueText("NN", QTime(9, 5, 7), runningNumber), QString(c.first)) << c.start;
        EXPECT_EQ(RunningValueText("NN", QTime(9, 5, 7), runningNumber), QString(c.second)) << c.start;
        EXPECT_EQ(runningNumber, c.after) << c.start;
    }
}

TEST(RunningValues, UnknownLayoutLeavesTheBoxAndTheNumber)
{
    for (const char* layout : { "", "HH.MM", "nn", "ss ", "hh:mm" }) {
        qint16 runningNumber = 3;
        EXPECT_EQ(RunningValueText(layout, QTime(9, 5, 7), runningNumber), std::nullopt) << layout;
        EXPECT_EQ(runningNumber, 3) << layout;
    }
}
