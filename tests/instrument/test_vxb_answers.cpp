#include "instrument/instrument.h"

#include <gtest/gtest.h>

namespace
{

QByteArray Hex(const char* digits)
{
    return QByteArray::fromHex(digits);
}

struct Exchange {
    const char* what;
    int address;
    bool badCheck;
    QByteArray request;
    QByteArray answer;
};

} // namespace

TEST(InstrumentVxb, AnswersTheTerminalsPacketsAsARealDeviceWould)
{
    const QByteArray identity = "durnix-instrument " + QByteArray::number(DURNIX_VERSION_MAJOR) + '.'
        + QByteArray::number(DURNIX_VERSION_MINOR);
    const QByteArray nak = Hex("15 03 16");
    const Exchange exchanges[] = {
        { "DISP HELLO at address 1", 1, false, Hex("81 44 49 53 50 20 48 45 4C 4C 4F 03 6F"),
            Hex("06 03 05") },
        { "ECHO 12", 0, false, Hex("80 45 43 48 4F 20 31 32 03 21"), Hex("06 31 32 03 06") },
        { "ECHO 12, spoiled answer", 0, true, Hex("80 45 43 48 4F 20 31 32 03 21"), Hex("06 31 32 03 07") },
        { "TIME?", 0, false, Hex("80 54 49 4D 45 3F 03 29"), Hex("06 30 39 3A 30 35 3A 30 37 03 0E") },
        { "ID?", 0, false, Hex("80 49 44 3F 03 31"), '\x06' + identity + '\x03' + char(0x2E) },
        { "wrong BCC", 1, false, Hex("81 44 49 53 50 20 48 45 4C 4C 4F 03 70"), nak },
        { "no BCC", 1, false, Hex("81 44 49 53 50 20 48 45 4C 4C 4F 03"), nak },
        { "empty command", 0, false, Hex("80 03 03"), nak },
        { "unknown command", 5, false, Hex("85 5A 5A 5A 03 59"), nak },
        { "another address", 0, false, Hex("81 45 43 48 4F 20 31 32 03 21"), {} },
        { "Ravo DISP HELLO", 1, false,
            Hex("81 4D 4E 20 30 30 34 34 34 39 35 33 35 30 32 30 34 38 34 35 34 43 34 43 34 46 41 43 03 51"),
            Hex("06 03 05") },
        { "Ravo ECHO X", 0, false, Hex("80 4D 4E 20 30 30 34 35 34 33 34 38 34 46 32 30 35 38 39 33 03 5D"),
            Hex("06 58 03 5D") },
        { "Ravo with a bad check", 0, false,
            Hex("80 4D 4E 20 30 30 34 35 34 33 34 38 34 46 32 30 35 38 39 34 03 5A"), nak },
        { "Ravo of nothing", 0, false, Hex("80 4D 4E 20 30 30 30 31 03 21"), nak },
        { "Ravo with a stray letter", 0, false, Hex("80 4D 4E 20 30 30 34 47 30 31 03 52"), nak },
    };
    for (const Exchange& exchange : exchanges) {
        Instrument instrument(
            { quint8(exchange.address), 1, 6, exchange.badCheck }, [] { return QTime(9, 5, 7); },
            [](const QByteArray&) {});
        EXPECT_EQ(
            instrument.Answer({ FrameKind::Vxb, exchange.request }).toHex(' '), exchange.answer.toHex(' '))
            << exchange.what;
    }
}

TEST(InstrumentVxb, DispShowsTheTextOnTheDisplay)
{
    QByteArray shown;
    Instrument instrument(
        { 0, 1, 6, false }, [] { return QTime(); }, [&](const QByteArray& text) { shown = text; });
    instrument.Answer({ FrameKind::Vxb, Hex("80 44 49 53 50 20 31 32 2E 35 20 43 2C 20 37 03 6D") });
    EXPECT_EQ(shown, QByteArray("12.5 C, ")); // "DISP 12.5 C, 7"
}

TEST(InstrumentLine, AnswersQuestionsAndEchoesEverythingElse)
{
    Instrument instrument(
        {}, [] { return QTime(23, 59, 1); }, [](const QByteArray&) {});
    const std::pair<QByteArray, QByteArray> lines[] = {
        { "TIME?\r\n", "23:59:01\r\n" },
        { "DISP HELLO\r\n", "DISP HELLO\r\n" },
        { "\r\n", "\r\n" },
        { QByteArray("\0\xFF\r\n", 4), QByteArray("\0\xFF\r\n", 4) },
    };
    for (const auto& [line, answer] : lines)
        EXPECT_EQ(instrument.Answer({ FrameKind::Line, line }), answer) << line.toHex(' ').constData();
}

TEST(InstrumentUnrecognised, StaysSilent)
{
    Instrument instrument(
        {}, [] { return QTime(); }, [](const QByteArray&) {});
    EXPECT_TRUE(instrument.Answer({ FrameKind::Unrecognised, "ID?" }).isEmpty());
}
