#include "log/log_format.h"

#include <gtest/gtest.h>

namespace
{

struct RecordCase {
    const char* name;
    LogRecord record;
    const char* line;
};

using Record = ::testing::TestWithParam<RecordCase>;

TEST_P(Record, IsOneTabSeparatedLine)
{
    EXPECT_EQ(FormatLogRecord(GetParam().record), QByteArray(GetParam().line));
}

const QDateTime kMorning(QDate(2026, 12, 7), QTime(9, 41, 2, 123));

INSTANTIATE_TEST_SUITE_P(LogFormat, Record,
    ::testing::Values(
        RecordCase { "TxWithHexWithoutTrailingSpace",
            { kMorning, "TX", QByteArrayLiteral("\x81\x44\x03\x6f"), "D", {} },
            "2026-12-07T09:41:02.123\tTX\t81 44 03 6F\tD\t\n" },
        RecordCase { "RxWithOneDecimalOfMs", { kMorning, "RX", "\x06", "<>", 12.345 },
            "2026-12-07T09:41:02.123\tRX\t06\t<>\t12.3\n" },
        RecordCase { "MsRoundsToOneDecimal", { kMorning, "RX", {}, "", 0.05 },
            "2026-12-07T09:41:02.123\tRX\t\t\t0.1\n" },
        RecordCase { "MidnightAndZeroMilliseconds",
            { QDateTime(QDate(2027, 1, 1), QTime(0, 0)), "PORT", {}, "open COM1", {} },
            "2027-01-01T00:00:00.000\tPORT\t\topen COM1\t\n" },
        RecordCase { "TabsAndBreaksInTextAreEscaped", { kMorning, "TX", {}, "a\tb\nc\rd", {} },
            "2026-12-07T09:41:02.123\tTX\t\ta<9>b<10>c<13>d\t\n" },
        RecordCase { "TextIsUtf8", { kMorning, "TX", "\xC4", QString::fromUtf8("\xC3\x84"), {} },
            "2026-12-07T09:41:02.123\tTX\tC4\t\xC3\x84\t\n" }),
    [](const auto& info) { return std::string(info.param.name); });

struct AnswerTextCase {
    const char* name;
    const char* rendering;
    const char* logged;
};

using AnswerText = ::testing::TestWithParam<AnswerTextCase>;

TEST_P(AnswerText, KeepsTheRenderingOnOneLine)
{
    EXPECT_EQ(LogAnswerText(QString::fromLatin1(GetParam().rendering)), QString(GetParam().logged));
}

INSTANTIATE_TEST_SUITE_P(LogFormat, AnswerText,
    ::testing::Values(AnswerTextCase { "Plain", "12", "12" },
        AnswerTextCase { "BreakAfterCarriageReturnDropped", "AB<13>\n<10>", "AB<13><10>" },
        AnswerTextCase { "CheckErrorKept", "12<BCCERR>", "12<BCCERR>" },
        AnswerTextCase { "TwoLines", "<13>\n<13>\n", "<13><13>" }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LogFormat, HexOfNothingIsEmptyAndEveryByteHasTwoDigits)
{
    EXPECT_EQ(LogHex({}), QString());
    EXPECT_EQ(LogHex(QByteArrayLiteral("\x00\x0a\xff")), QString("00 0A FF"));
}

} // namespace
