#include "command/framing.h"
#include "decode/modbus_answer.h"
#include "row_names.h"

#include <gtest/gtest.h>

namespace
{

enum class Crc { Good, Bad, None };

// The answer's bytes before the CRC, which the test appends as `crc` says.
QByteArray Framed(const QByteArray& hex, Crc crc)
{
    QByteArray bytes = QByteArray::fromHex(hex);
    const quint16 sum = ModbusCrc(bytes) ^ (crc == Crc::Bad ? 1 : 0);
    if (crc != Crc::None)
        bytes.append(char(sum & 0xFF)).append(char(sum >> 8));
    return bytes;
}

// `text` is the line without its CRC verdict, which follows from `crc`.
struct AnswerCase {
    const char* name;
    const char* hex;
    const char* text;
    bool standsOut = false;
    Crc crc = Crc::Good;
    DURNIX_PRINTS_ITS_NAME(AnswerCase)
};

const AnswerCase kAnswers[] = {
    { "Coils", "110102CD01", "slave 17 · 01 read coils · 16 bits, first leftmost: 10110011 10000000" },
    { "Inputs", "01020180", "slave 1 · 02 read discrete inputs · 8 bits, first leftmost: 00000001" },
    { "Holding", "01030404D20011", "slave 1 · 03 read holding registers · 0=1234 (0x04D2), 1=17 (0x0011)" },
    { "Input", "F70402FFFF", "slave 247 · 04 read input registers · 0=65535 (0xFFFF)" },
    { "CoilOn", "010500ACFF00", "slave 1 · 05 write single coil · address 172 = ON" },
    { "CoilOff", "010501000000", "slave 1 · 05 write single coil · address 256 = OFF" },
    { "CoilNeither", "01050001FF01",
        "slave 1 · 05 write single coil · address 1 = 0xFF01, neither ON nor OFF", true },
    { "Register", "010600010003", "slave 1 · 06 write single register · address 1 = 3 (0x0003)" },
    { "ExceptionStatus", "01076D", "slave 1 · 07 read exception status · status 0x6D" },
    { "Diagnostics", "01080000A537", "slave 1 · 08 diagnostics · sub-function 0, data A5 37" },
    { "DiagnosticsNoData", "0108000A", "slave 1 · 08 diagnostics · sub-function 10, data none" },
    { "Coils0F", "010F0013000A", "slave 1 · 0F write multiple coils · address 19, quantity 10" },
    { "Registers10", "011000010002", "slave 1 · 10 write multiple registers · address 1, quantity 2" },
    { "ServerId", "01110301FF41", "slave 1 · 11 report server id · 3 bytes: 01 FF 41" },
    { "MaskWrite", "0116000400F20025",
        "slave 1 · 16 mask write register · address 4, AND 0x00F2, OR 0x0025" },
    { "ReadWrite", "0117020102", "slave 1 · 17 read/write multiple registers · 0=258 (0x0102)" },
    // malformed answers
    { "Empty", "", "empty answer", true, Crc::None },
    { "Short", "018302", "slave 1 · too short: length 3", true, Crc::None },
    { "BadCrc", "0103020001", "slave 1 · 03 read holding registers · 0=1 (0x0001)", true, Crc::Bad },
    { "CountLarge", "0103060001", "slave 1 · 03 read holding registers · byte count 6 but 2 bytes follow",
        true },
    { "CountSmall", "0101010102", "slave 1 · 01 read coils · byte count 1 but 2 bytes follow", true },
    { "CountZero", "011100", "slave 1 · 11 report server id · byte count 0, no data", true },
    { "NoCount", "0104", "slave 1 · 04 read input registers · no byte count", true },
    { "OddRegisters", "010303000102", "slave 1 · 03 read holding registers · odd byte count 3 for registers",
        true },
    { "EchoShort", "0106000100", "slave 1 · 06 write single register · 3 data bytes where 4 belong", true },
    { "MaskShort", "01160004", "slave 1 · 16 mask write register · 2 data bytes where 6 belong", true },
    { "NoSubFunction", "010800", "slave 1 · 08 diagnostics · no sub-function", true },
    { "UnknownFunction", "012B0E01", "slave 1 · 2B unknown function", true },
    { "ExceptionUnknown", "01C101", "slave 1 · C1 exception to 41 unknown function · 01 illegal function",
        true },
    { "NoExceptionCode", "0183",
        "slave 1 · 83 exception to 03 read holding registers · 0 data bytes where 1 belongs", true },
};

using ModbusAnswer = ::testing::TestWithParam<AnswerCase>;

// Each answer is handed over as a view into a longer buffer, so that a read past its end finds bytes.
TEST_P(ModbusAnswer, ReadsAsItsFunctionGivesIt)
{
    const QByteArray answer = Framed(GetParam().hex, GetParam().crc), buffer = answer + QByteArray(8, '\xFF');
    const DecodedAnswer decoded = DecodeModbusAnswer(QByteArrayView(buffer).first(answer.size()));
    const char* verdict[] = { " · CRC ok", " · CRC error", "" };
    EXPECT_EQ(decoded.text, QString(GetParam().text) + verdict[int(GetParam().crc)]);
    EXPECT_EQ(decoded.standsOut, GetParam().standsOut);
}

INSTANTIATE_TEST_SUITE_P(Decoder, ModbusAnswer, ::testing::ValuesIn(kAnswers), ByName);

TEST(ModbusException, NamesEveryCodeAndAnUnknownOneByNumber)
{
    const std::pair<const char*, const char*> codes[] = { { "01", "illegal function" },
        { "02", "illegal data address" }, { "03", "illegal data value" }, { "04", "server device failure" },
        { "05", "acknowledge" }, { "06", "server device busy" }, { "08", "memory parity error" },
        { "0A", "gateway path unavailable" }, { "0B", "gateway target device failed to respond" },
        { "07", "unknown exception" }, { "FF", "unknown exception" } };
    for (const auto& [code, name] : codes) {
        const DecodedAnswer decoded = DecodeModbusAnswer(Framed(QByteArray("0590") + code, Crc::Good));
        EXPECT_EQ(decoded.text,
            QString("slave 5 · 90 exception to 10 write multiple registers · ") + code + ' ' + name
                + " · CRC ok");
        EXPECT_TRUE(decoded.standsOut) << code;
    }
}

// The longest answers each function allows still give a short line that ends in "…".
TEST(ModbusAnswerText, StaysBoundedForAnyLength)
{
    for (const QByteArray& hex : { "0101FF" + QByteArray(510, 'A'), "0103FA" + QByteArray(500, '0'),
             "0111FF" + QByteArray(510, 'B'), "01080000" + QByteArray(20000, 'C') }) {
        const QString text = DecodeModbusAnswer(Framed(hex, Crc::Good)).text;
        EXPECT_LT(text.size(), 600) << hex.left(6).constData();
        EXPECT_TRUE(text.endsWith(QString("… · CRC ok"))) << text.toStdString();
    }
}

} // namespace
