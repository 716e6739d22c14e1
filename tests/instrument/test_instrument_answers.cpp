#include "instrument/instrument.h"

#include <gtest/gtest.h>

static QByteArray (*const Hex)(const QByteArray&) = QByteArray::fromHex;

TEST(Instrument, AnswersEachFramingAsARealDeviceWould)
{
    using enum FrameKind;
    const QByteArray identity = "durnix-instrument " + QByteArray::number(DURNIX_VERSION_MAJOR) + '.'
        + QByteArray::number(DURNIX_VERSION_MINOR);
    const QByteArray nak = Hex("15 03 16");
    struct Exchange {
        FrameKind kind;
        quint8 address;
        bool badCheck;
        QByteArray request, answer;
    };
    const Exchange exchanges[] = {
        { Vxb, 0, false, Hex("80 49 44 3F 03 31"), '\x06' + identity + '\x03' + char(0x2E) },
        { Vxb, 0, false, Hex("80 44 49 53 50 20 31 32 2E 35 20 43 2C 20 37 03 6D"), Hex("06 03 05") },
        { Vxb, 0, false, Hex("80 54 49 4D 45 3F 03 29"), Hex("06 30 39 3A 30 35 3A 30 37 03 0E") },
        { Vxb, 0, true, Hex("80 45 43 48 4F 20 31 32 03 21"), Hex("06 31 32 03 07") },
        { Vxb, 1, false, Hex("81 44 49 53 50 20 48 45 4C 4C 4F 03 70"), nak },
        { Vxb, 1, false, Hex("81 44 49 53 50 20 48 45 4C 4C 4F 03"), nak },
        { Vxb, 5, false, Hex("85 5A 5A 5A 03 59"), nak },
        { Vxb, 0, false, Hex("81 45 43 48 4F 20 31 32 03 21"), {} },
        { Vxb, 0, false, Hex("80 4D 4E 20 30 30 34 35 34 33 34 38 34 46 32 30 35 38 39 33 03 5D"),
            Hex("06 58 03 5D") },
        { Vxb, 0, false, Hex("80 4D 4E 20 30 30 34 35 34 33 34 38 34 46 32 30 35 38 39 34 03 5A"), nak },
        { Line, 0, false, "TIME?\r\n", "09:05:07\r\n" },
        { Line, 0, false, "DISP HELLO\r\n", "DISP HELLO\r\n" },
        { Modbus, 0, false, Hex("01 03 00 63 00 01 74 14"),
            Hex("01 03 02 00 63 F8 6D") }, // the last register
        { Modbus, 0, false, Hex("01 05 00 00 FF 00 8C 3A"), Hex("01 85 01 83 50") },
        { Modbus, 0, false, Hex("01 03 00 00 00 01 84 0B"), {} },
        { Hart, 0, false, Hex("FF FF FF FF FF 02 80 00 00 82"),
            Hex("FF FF FF FF FF 86 AD D5 00 00 01 00 0E 00 00 FE 2D D5 05 05 01 01 08 00 00 00 01 FE") },
        { Hart, 0, false, Hex("FF FF FF FF FF 02 80 00 00 83"), {} },
        { Unrecognised, 0, false, "ID?", {} },
    };
    QByteArray shown;
    for (const Exchange& e : exchanges) {
        Instrument instrument(
            { e.address, 1, 6, e.badCheck }, [] { return QTime(9, 5, 7); },
            [&](const QByteArray& text) { shown += text; });
        EXPECT_EQ(instrument.Answer({ e.kind, e.request }).toHex(' ').toStdString(),
            e.answer.toHex(' ').toStdString())
            << e.request.toHex(' ').constData();
    }
    EXPECT_EQ(shown, "12.5 C, "); // "DISP 12.5 C, 7": marks share the position before them
}
