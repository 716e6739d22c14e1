#include "common/bytes.h"
#include "common/lenient_number.h"

#include <QLocale>
#include <cfloat>
#include <clocale>
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

// The leading number whatever the locale's decimal sign, and an overflow saturates instead of giving
// infinity. Whether a text is a whole number is held by the repeat count's tests.
TEST(LenientNumber, ReadsTheLeadingNumberInAnyLocale)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    const std::pair<QString, double> cases[] = { { "  4 2 ", 42 }, { "\t1\n2", 12 }, { "-2", -2 },
        { "+7", 7 }, { "-.5", -0.5 }, { "1,5", 1 }, { "12abc", 12 }, { "1D2", 100 }, { "2.5E-1", 0.25 },
        { "1E+", 1 }, { "1 e 2", 100 }, { "&HFF", 255 }, { "&h 1f", 31 }, { "&O17", 15 }, { "&o8", 0 },
        { "&X1", 0 }, { "--1", 0 }, { "1e400", DBL_MAX }, { "-1e99999999999", -DBL_MAX },
        { "&H" + QString(500, 'F'), DBL_MAX }, { "1e-400", 0 }, { "0." + QString(400, '0') + "1", 0 } };
    for (const auto& [text, value] : cases) // exactly: infinity would pass as 1 ULP from DBL_MAX
        EXPECT_EQ(LenientNumber(text), value) << text.left(20).toStdString();
    std::setlocale(LC_NUMERIC, "C");
    QLocale::setDefault(saved);
}

// The command tests show that escapes, the address and the repeat interval round this way too.
TEST(RoundToInt16, RoundsHalvesToTheEvenNeighbourAndRejectsWhatAnInt16CannotHold)
{
    const std::pair<double, std::optional<qint16>> cases[] = { { 1.5, 2 }, { 2.5, 2 }, { -1.5, -2 },
        { 32767.4, 32767 }, { -32768, -32768 }, { 32767.5, {} }, { -32768.6, {} } };
    for (auto [in, out] : cases)
        EXPECT_EQ(RoundToInt16(in), out) << in;
}
