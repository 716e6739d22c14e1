#include "common/lenient_number.h"

#include <QLocale>
#include <cfloat>
#include <clocale>
#include <gtest/gtest.h>

namespace {

TEST(LenientNumber, ReadsTheLeadingNumber)
{
    const std::pair<const char*, double> cases[] = {{"", 0}, {"abc", 0}, {"42", 42}, {"  4 2 ", 42},
        {"\t1\n2", 12}, {"-2", -2}, {"+7", 7}, {"1.5", 1.5}, {"-.5", -0.5}, {".", 0}, {"-", 0}, {"1,5", 1},
        {"12abc", 12}, {"1e3", 1000}, {"1D2", 100}, {"2.5E-1", 0.25}, {"1E", 1}, {"1E+", 1}, {"1 e 2", 100},
        {"&HFF", 255}, {"&h 1f", 31}, {"&H", 0}, {"&O17", 15}, {"&o8", 0}, {"&X1", 0}, {"&h0F ", 15},
        {"&h0G", 0}, {"65xyz>", 65}, {"<65>", 0}, {"1.2.3", 1.2}, {"--1", 0}, {"1-2", 1}};
    for (auto [text, value] : cases)
        EXPECT_DOUBLE_EQ(LenientNumber(QString::fromUtf8(text)), value) << text;
}

TEST(LenientNumber, OverflowSaturatesInsteadOfInfinity)
{
    EXPECT_EQ(LenientNumber(u"1e400"), DBL_MAX);
    EXPECT_EQ(LenientNumber(u"-1e99999999999"), -DBL_MAX);
    EXPECT_EQ(LenientNumber(QString(500, 'F').prepend("&H")), DBL_MAX);
    EXPECT_EQ(LenientNumber(u"1e-400"), 0.0);
    EXPECT_EQ(LenientNumber(QString(400, '9')), DBL_MAX);
    EXPECT_EQ(LenientNumber(QString(400, '0').prepend("0.") + "1"), 0.0);
}

TEST(LenientNumber, IgnoresTheLocaleDecimalComma)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const char* savedC = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    EXPECT_DOUBLE_EQ(LenientNumber(u"1.5"), 1.5);
    EXPECT_DOUBLE_EQ(LenientNumber(u"1,5"), 1.0);
    std::setlocale(LC_NUMERIC, savedC ? "C" : "C");
    QLocale::setDefault(saved);
}

TEST(LenientNumber, WholeNumberNeedsDigitsAndNothingLeft)
{
    EXPECT_TRUE(IsWholeNumber(u" 3 "));
    EXPECT_TRUE(IsWholeNumber(u"-2.5e1"));
    EXPECT_TRUE(IsWholeNumber(u"&H1F"));
    EXPECT_FALSE(IsWholeNumber(u""));
    EXPECT_FALSE(IsWholeNumber(u"x"));
    EXPECT_FALSE(IsWholeNumber(u"3x"));
    EXPECT_FALSE(IsWholeNumber(u"+"));
    EXPECT_FALSE(IsWholeNumber(u"&H"));
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour)
{
    const std::pair<double, double> cases[] = {
        {0.5, 0}, {1.5, 2}, {2.5, 2}, {-0.5, 0}, {-1.5, -2}, {14.0625, 14}, {2.4999, 2}, {254.5, 254}};
    for (auto [in, out] : cases)
        EXPECT_EQ(RoundHalfEven(in), out) << in;
}

TEST(RoundToInt16, RejectsWhatAnIntegerCannotHold)
{
    EXPECT_EQ(RoundToInt16(32767.4), 32767);
    EXPECT_EQ(RoundToInt16(-32768), -32768);
    EXPECT_EQ(RoundToInt16(32767.5), std::nullopt);
    EXPECT_EQ(RoundToInt16(DBL_MAX), std::nullopt);
}

} // namespace
