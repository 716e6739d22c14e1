#include "command/command_text.h"
#include "common/lenient_number.h"

#include <gtest/gtest.h>

namespace
{

// The escape rule read literally: the number is read from the whole rest of
// the text, and the position jumps past the first ">" after the "<".
std::optional<QByteArray> LiteralEscapes(const QByteArray& text)
{
    QByteArray bytes;
    for (qsizetype pos = 0; pos < text.size();) {
        const qsizetype close = text[pos] == '<' ? text.indexOf('>', pos + 1) : -1;
        if (close < 0) {
            bytes.append(text[pos++]);
            continue;
        }
        const double value = RoundHalfEven(LenientNumber(QByteArrayView(text).sliced(pos + 1)));
        if (!(value >= 0 && value <= 255))
            return std::nullopt;
        bytes.append(static_cast<char>(static_cast<int>(value)));
        pos = close + 1;
    }
    return bytes;
}

TEST(DecodeCommandText, EscapesGiveTheDocumentedBytes)
{
    const std::pair<const char*, QByteArray> cases[] = { { "<13>", "\r" }, { "A<66>C", "ABC" },
        { "<&H41>", "A" }, { "<65.5>", "B" }, { "<65xyz>", "A" }, { "<>", QByteArray(1, '\0') },
        { "<#>", QByteArray(1, '\0') }, { "<<65>", QByteArray(1, '\0') }, { "1<2", "1<2" },
        { "1>2<3", "1>2<3" }, { "a<65>b<66", "aAb<66" }, { "<1 2 3>", "{" }, { "<   65>", "A" },
        { "<6\t5>", "A" }, { "<1e2>", "d" }, { "<-0.5>", QByteArray(1, '\0') }, { "<254.5>", "\xFE" } };
    for (const auto& [text, bytes] : cases)
        EXPECT_EQ(DecodeCommandText(text, {}), bytes) << text;
}

TEST(DecodeCommandText, EscapeValueEqualsReadingTheWholeRest)
{
    const QByteArray cases[] = { "<1 2 3>", "<   65>", "<6\t5>", "<1e2>", "<1E>2", "<1e+>5", "<1 e 2>3",
        "<&h>F", "<&h4>1", "<&O1 7>7", "<6\n5>>", "< - 1 >", "<.5>", "<1.>5", "<65", "<6<5>>", "<1e-1>00",
        "x<2>y<3>z", "<9\r>", "<&>", QByteArray("<6\0>5>", 6), QByteArray("<\0006>", 5), "<1d2>", "<2.5e0>",
        "<>1>", "<" + QByteArray(64, ' ') + "6 5>", "<" + QByteArray(40, '0') + "65>",
        "<1" + QByteArray(40, '0') + ">" };
    for (const QByteArray& text : cases)
        EXPECT_EQ(DecodeCommandText(text, {}), LiteralEscapes(text)) << text.toStdString();
}

TEST(DecodeCommandText, LongTextsOfManyEscapesDecode)
{
    EXPECT_EQ(DecodeCommandText(QByteArray("<65>").repeated(50000), {}), QByteArray(50000, 'A'));
    EXPECT_EQ(DecodeCommandText(QByteArray(200000, '<'), {}), QByteArray(200000, '<'));
    EXPECT_EQ(DecodeCommandText(QByteArray(200000, '<') + '>', {}), QByteArray(1, '\0'));
    EXPECT_EQ(DecodeCommandText(QByteArray(200000, 'F'), { .hex = true }), QByteArray(100000, '\xFF'));
}

} // namespace
