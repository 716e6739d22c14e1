#include "command/command_text.h"
#include "command/device_address.h"
#include "command/framing.h"
#include "command/recent_commands.h"
#include "command/repeat_cycle.h"
#include "command/rts_interval.h"

#include <climits>
#include <gtest/gtest.h>
#include <limits>

// The command's own bytes stand in the packets as its text.
TEST(FramePacket, FramesEachProtocolByteForByteWithTheAddressesLowBits)
{
    const QByteArray hello = "DISP HELLO";
    const std::tuple<QByteArray, int, const char16_t*, const char*> cases[] = {
        { hello, VxbWithBcc, u"1", "81 DISP HELLO 03 6F" }, { hello, VxbNoBcc, u"1", "81 DISP HELLO 03" },
        { hello, VxbWrongBcc, u"1", "81 DISP HELLO 03 70" }, { hello, AsciiCrlf, u"1", "DISP HELLO 0D 0A" },
        { hello, VxbRavo, u"1",
            "81 4D 4E 20 30 30 34 34 34 39 35 33 35 30 32 30 34 38 34 35 34 43 34 43 34 46 41 43 03 51" },
        { hello, AsIs, u"1", "DISP HELLO" }, { hello, ModbusRtu, u"1", "01 DISP HELLO 49 27" },
        { hello, Hart, u"1", "FF FF FF FF FF DISP HELLO 6C" },
        { QByteArray::fromHex("0300000001"), ModbusRtu, u"1", "01 03 00 00 00 01 84 0A" },
        { "", Hart, u"77", "FF FF FF FF FF 00" }, { "A", 8, u"1", "41" },
        // the wrong BCC wraps round; the address rounds half to even and only its low bits count
        { "\xFC", VxbWrongBcc, u"0", "80 FC 03 00" }, { "A", VxbWithBcc, u"1.5", "82 41 03 42" },
        { "A", VxbWithBcc, u"2.5", "82 41 03 42" }, { "A", VxbWithBcc, u"1e300", "FF 41 03 42" },
        { "A", ModbusRtu, u"256", "00 41 C1 80" }
    };
    for (const auto& [command, protocol, address, packet] : cases)
        EXPECT_EQ(FramePacket(command, protocol, AddressNumber(address)).toHex(' ').toUpper(),
            QByteArray(packet).replace(hello, hello.toHex(' ').toUpper()))
            << command.toStdString() << " at position " << protocol;
}

TEST(DecodeCommandText, NotationThenNationalCharactersThenDisp)
{
    constexpr DecodeOptions esc {}, hex { .hex = true }, hexAa { .hex = true, .aa = true }, aa { .aa = true },
        fixed { .freeTextMode = false, .hex = true }, disp { .disp = true };
    const QByteArray nul(1, '\0'), national = "\xE4\xC4\xF6\xD6\xE5\xC5\xFC\xDC\xB0\xB5";
    const std::tuple<QByteArray, DecodeOptions, std::optional<QByteArray>> cases[]
        = { { "f0 0", hex, "\xF0" + nul }, { "0x41", hex, nul + 'A' },
              { "FF,FF", hex, "\xFF" + nul + "\x0F" }, { "F\nF", hex, "\x0F\x0F" }, { "E4", hexAa, "#A" },
              { "T\xE4m\xE4", fixed, "TAmA" }, { national, esc, "AAOOAAUU#u" },
              { national, aa, "#A#A#O#O#R#R#U#U#Du" }, { "\xE9\x80\xFF", aa, "" },
              { "\xE9\x80\xFF", esc, "\xE9\x80\xFF" }, { "<228>", aa, "#A" }, { "a\x7F", aa, "a\x7F" },
              { "", disp, "DISP " }, { "<13>", { .freeTextMode = false, .disp = true }, "DISP <13>" },
              // a command that already begins with DISP gets its own prefix all the same
              { "DISP HELLO", disp, "DISP DISP HELLO" }, { "<68>ISPLAY", disp, "DISP DISPLAY" },
              { "<65.5>", esc, "B" }, { "<255>", esc, "\xFF" }, { "1>2<3", esc, "1>2<3" },
              { "a<65>b<66", esc, "aAb<66" }, { "<-0.5>", esc, nul },
              // the number is read from the whole rest of the text, which can never take it past the ">"
              { "<9<5>>", esc, "\t>" }, { "<>1>", esc, nul + "1>" }, { "<&O1 2>7", esc, "\n7" },
              { QByteArray("<9\0>5>", 6), esc, "\t5>" }, { "ok<65><256>", disp, {} }, { "<-1>", esc, {} },
              { "<255.5>", esc, {} } };
    for (const auto& [text, options, bytes] : cases)
        EXPECT_EQ(DecodeCommandText(text, options), bytes) << text.toStdString();
    EXPECT_EQ(DecodeCommandText(QByteArray("<65>").repeated(50000), esc), QByteArray(50000, 'A'));
    EXPECT_EQ(DecodeCommandText(QByteArray(200000, '<') + '>', esc), nul);
}

TEST(RtsIntervalMs, CoversThePacketOnTheLineWithinOneTo65535)
{
    constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
    const std::tuple<qsizetype, double, int, double, double, int> cases[] = {
        // 14.0625 and 4.43 would round to an end before the 13.54 and 4.17 ms the packets take on the line
        { 13, 8, 0, 1, 9600, 14 }, { 8, 8, 0, 1, 19200, 5 }, { 1, 8, 0, 1, 38400, 1 },
        // any parity entry but the first counts one bit; none selected takes one off; 94.5 rounds to even
        { 10, 7, 2, 2, 1200, 96 }, { 10, 8, -1, 1, 1000, 94 }, { 1000000, 8, 0, 1, 300, 65535 },
        { 13, 8, 0, 1, -1, 1 }, { 13, NaN, 0, 1, 9600, 1 }, { -5, 8, 0, 1, 9600, 1 }
    };
    for (const auto& [bytes, dataBits, parity, stopBits, baud, ms] : cases)
        EXPECT_EQ(RtsIntervalMs(bytes, dataBits, parity, stopBits, baud), ms) << bytes << " at " << baud;
}

// An empty command matches an empty entry; case and spaces count.
TEST(RecentCommands, AMatchIsExactAndKeepsItsPlaceAndItsFirstStates)
{
    RecentCommands recent;
    EXPECT_FALSE(recent.Remember("", 9, 9));
    EXPECT_TRUE(recent.Remember("F", 0, 0) && recent.Remember("f", 0, 0) && recent.Remember("F ", 0, 0));
    const RecentCommands before = recent;
    EXPECT_FALSE(recent.Remember("f", 1, 1)) << "sent again: its place and its first states stay";
    EXPECT_EQ(
        std::tie(recent.texts, recent.disp, recent.hex), std::tie(before.texts, before.disp, before.hex));
}

TEST(RepeatCycle, IntervalIsTheMagnitudeInMillisecondsAndTheCountCountsOnlyAWholeNumber)
{
    const std::pair<QString, qint64> intervals[]
        = { { "0.5", 500 }, { "-2", 2000 }, { "0.0005", 0 }, { "0.0015", 2 }, { "1e400", INT_MAX } };
    for (const auto& [text, ms] : intervals)
        EXPECT_EQ(RepeatIntervalMs(text), ms) << text.toStdString();
    using enum RepeatCountStep::Kind;
    // only a whole number counts: digits, nothing left over
    const std::tuple<QString, RepeatCountStep::Kind, QString> counts[] = { { "1", LastSend, "" },
        { "-2.5e1", LastSend, "" }, { "1e1", CountDown, "9" }, { " 3 ", CountDown, "2" },
        { "&H1F", CountDown, "30" }, { "", NoLimit, "" }, { "3x", NoLimit, "" }, { "&H", NoLimit, "" },
        { "1.1", CountDown, "0.1" }, { "1e20", CountDown, "100000000000000000000" },
        { "1234567890123456", CountDown, "1234567890123455" } };
    for (const auto& [text, kind, remaining] : counts) {
        const RepeatCountStep step = NextRepeatCount(text);
        EXPECT_EQ(std::pair(step.kind, step.remaining), std::pair(kind, remaining)) << text.toStdString();
    }
}
