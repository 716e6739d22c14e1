#include "common/bytes.h"

#include <gtest/gtest.h>

TEST(Windows1252, EveryByteRoundTrips)
{
    QByteArray all;
    for (int i = 0; i < 256; ++i)
        all.append(char(i));
    EXPECT_EQ(ToWindows1252(FromWindows1252(all)), all);
}

TEST(Windows1252, UsesOurTableForTheHighControls)
{
    EXPECT_EQ(FromWindows1252(QByteArrayLiteral("\x80\x84\x9F")), QString::fromUtf8("€„Ÿ"));
    EXPECT_EQ(ToWindows1252(QString::fromUtf8("Tämä €")), QByteArrayLiteral("T\xE4m\xE4 \x80"));
}

TEST(Windows1252, UnrepresentableCharactersBecomeQuestionMarks)
{
    EXPECT_EQ(ToWindows1252(QString::fromUtf8("a\u0416b\U0001F600c")), QByteArray("a?b?c"));
}

TEST(HexText, EveryByteIsTwoDigitsAndASpace)
{
    EXPECT_EQ(HexText(QByteArrayLiteral("\x81\x03\x03")), QString("81 03 03 "));
    EXPECT_EQ(HexText(QByteArray()), QString());
    EXPECT_EQ(HexText(QByteArray(1, '\0')), QString("00 "));
}
