#include "common/bytes.h"
#include "common/lenient_number.h"
#include "common/plain_number.h"

#include <QLocale>
#include <cfloat>
#include <clocale>
#include <cmath>
#include <gtest/gtest.h>

TEST(Bytes, Windows1252RoundTripsEveryByteAndHexTextIsTwoDigitsAndASpace)
{
    QByteArray all;
    for (int i = 0; i < 256; ++i)
        all.append(char(i));
    EXPECT_EQ(ToWindows1252(FromWindows1252(all)), all);
    EXPECT_EQ(FromWindows1252(QByteArrayLiteral("\x80\x84\x9F")), QString::fromUtf8("€„Ÿ"));
    EXPECT_EQ(ToWindows1252(QString::fromUtf8("Tä € a\u0416b\U0001F600c")), QByteArray("T\xE4 \x80 a?b?c"));
    EXPECT_EQ(HexText(QByteArrayLiteral("\x81\x00\x03")), QString("81 00 03 "));
}

// The leading number, and an overflow saturates instead of giving infinity.
TEST(LenientNumber, ReadsTheLeadingNumber)
{
    const std::pair<QString, double> cases[] = { { "", 0 }, { "  4 2 ", 42 }, { "\t1\n2", 12 }, { "-2", -2 },
        { "+7", 7 }, { "1.5", 1.5 }, { "-.5", -0.5 }, { ".", 0 }, { "1,5", 1 }, { "12abc", 12 },
        { "1e3", 1000 }, { "1D2", 100 }, { "2.5E-1", 0.25 }, { "1E+", 1 }, { "1 e 2", 100 }, { "&HFF", 255 },
        { "&h 1f", 31 }, { "&H9a", 154 }, { "&H", 0 }, { "&O17", 15 }, { "&o8", 0 }, { "&X1", 0 },
        { "<65>", 0 }, { "1.2.3", 1.2 }, { "--1", 0 }, { "1-2", 1 }, { "1e400", DBL_MAX },
        { "-1e99999999999", -DBL_MAX }, { "&H" + QString(500, 'F'), DBL_MAX }, { "1e-400", 0 },
        { QString(400, '9'), DBL_MAX }, { "0." + QString(400, '0') + "1", 0 } };
    for (const auto& [text, value] : cases) {
        EXPECT_DOUBLE_EQ(LenientNumber(text), value) << text.left(20).toStdString();
        EXPECT_TRUE(std::isfinite(LenientNumber(text))) << "infinity is 1 ULP from DBL_MAX";
    }
}

TEST(LenientNumber, IgnoresTheLocaleDecimalComma)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    EXPECT_DOUBLE_EQ(LenientNumber(u"1.5"), 1.5);
    EXPECT_DOUBLE_EQ(LenientNumber(u"1,5"), 1.0);
    std::setlocale(LC_NUMERIC, "C");
    QLocale::setDefault(saved);
}

TEST(LenientNumber, WholeNumberNeedsDigitsAndNothingLeft)
{
    for (const char* text : { " 3 ", "-2.5e1", "&H1F" })
        EXPECT_TRUE(IsWholeNumber(QString(text))) << text;
    for (const char* text : { "", "x", "3x", "+", "&H" })
        EXPECT_FALSE(IsWholeNumber(QString(text))) << text;
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbourAndInt16RejectsWhatItCannotHold)
{
    const std::pair<double, double> cases[]
        = { { 0.5, 0 }, { 1.5, 2 }, { 2.5, 2 }, { -0.5, 0 }, { -1.5, -2 }, { 14.0625, 14 }, { 2.4999, 2 } };
    for (auto [in, out] : cases)
        EXPECT_EQ(RoundHalfEven(in), out) << in;
    EXPECT_EQ(RoundToInt16(32767.4), 32767);
    EXPECT_EQ(RoundToInt16(-32768), -32768);
    EXPECT_EQ(RoundToInt16(32767.5), std::nullopt);
    EXPECT_EQ(RoundToInt16(DBL_MAX), std::nullopt);
}

TEST(PlainNumber, WritesAsManyDecimalsAsNeeded)
{
    const std::pair<double, const char*> cases[] = { { 2, "2" }, { 1.5, "1.5" }, { -1, "-1" }, { 0.5, "0.5" },
        { -0.0, "0" }, { 1e20, "100000000000000000000" }, { 0.1, "0.1" } };
    for (auto [value, text] : cases)
        EXPECT_EQ(PlainNumber(value), QString(text)) << value;
}
