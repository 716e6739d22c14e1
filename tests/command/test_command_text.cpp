#include "command/command_text.h"

#include <gtest/gtest.h>

namespace
{

struct DecodeCase {
    QByteArray text;
    DecodeOptions options;
    QByteArray bytes;
};

constexpr DecodeOptions Escapes {};
constexpr DecodeOptions Hex { .hex = true };
constexpr DecodeOptions HexAa { .hex = true, .aa = true };
constexpr DecodeOptions EscapesAa { .aa = true };
constexpr DecodeOptions NotFreeText { .freeTextMode = false, .hex = true };
constexpr DecodeOptions Disp { .disp = true };
constexpr DecodeOptions DispAa { .aa = true, .disp = true };

void ExpectDecodes(const std::vector<DecodeCase>& cases)
{
    for (const DecodeCase& c : cases) {
        const std::optional<QByteArray> bytes = DecodeCommandText(c.text, c.options);
        ASSERT_TRUE(bytes.has_value()) << c.text.toStdString();
        EXPECT_EQ(bytes->toHex(' '), c.bytes.toHex(' ')) << c.text.toStdString();
    }
}

TEST(DecodeCommandText, HexNotationReadsPairsWhateverTheyHold)
{
    ExpectDecodes({ { "FF FF FF", Hex, "\xFF\xFF\xFF" }, { "FFFFFF", Hex, "\xFF\xFF\xFF" },
        { "f0 0", Hex, QByteArray::fromHex("F000") }, { "1 2 3", Hex, "\x01\x02\x03" },
        { "123", Hex, "\x12\x03" }, { "GG", Hex, QByteArray(1, '\0') },
        { "0x41", Hex, QByteArray::fromHex("0041") }, { "FF,FF", Hex, QByteArray::fromHex("FF000F") },
        { "\tF", Hex, "\x0F" }, { "F\nF", Hex, "\x0F\x0F" }, { "  ", Hex, "" }, { "41 42", Hex, "AB" },
        { "FF FF FF", HexAa, "" }, { "E4", Hex, "A" }, { "E4", HexAa, "#A" },
        { "02 80 00 00", Hex, QByteArray::fromHex("02800000") } });
}

TEST(DecodeCommandText, NotationAppliesOnlyToFreeText)
{
    ExpectDecodes({ { "<13>", NotFreeText, "<13>" }, { "FF", NotFreeText, "FF" },
        { "<13>", { .freeTextMode = false }, "<13>" }, { "T\xE4m\xE4", NotFreeText, "TAmA" } });
}

TEST(DecodeCommandText, NationalCharactersFollowTheAaTable)
{
    const char* const bytes = "\xE4\xC4\xF6\xD6\xE5\xC5\xFC\xDC\xB0\xB5";
    ExpectDecodes({ { bytes, Escapes, "AAOOAAUU#u" }, { bytes, EscapesAa, "#A#A#O#O#R#R#U#U#Du" },
        { "T\xE4m\xE4", EscapesAa, "T#Am#A" }, { "T\xE4m\xE4", Escapes, "TAmA" },
        { "\xE9\x80\xFF", EscapesAa, "" }, { "\xE9\x80\xFF", Escapes, "\xE9\x80\xFF" },
        { "<228>", Escapes, "A" }, { "<228>", EscapesAa, "#A" }, { "<233>", EscapesAa, "" },
        { "a\x7F", EscapesAa, "a\x7F" } });
}

TEST(DecodeCommandText, DispPrefixComesAfterEverythingElse)
{
    ExpectDecodes({ { "", Disp, "DISP " }, { "", Escapes, "" }, { "HELLO", Disp, "DISP HELLO" },
        { "DISP HELLO", Disp, "DISP DISP HELLO" }, { "\xB0", DispAa, "DISP #D" },
        { "<13>", { .freeTextMode = false, .disp = true }, "DISP <13>" } });
}

TEST(DecodeCommandText, EscapeOutsideByteRangeGivesNothing)
{
    for (const char* text : { "<256>", "<-1>", "<255.5>", "<1e400>", "<-1e400>", "ok<65><300>" })
        EXPECT_FALSE(DecodeCommandText(text, Disp).has_value()) << text;
    EXPECT_TRUE(DecodeCommandText("<256>", NotFreeText).has_value());
    EXPECT_TRUE(DecodeCommandText("<256>", Hex).has_value());
}

} // namespace
