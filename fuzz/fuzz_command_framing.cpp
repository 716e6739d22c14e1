// The command box text, decoded under options from the first byte and framed for
// every protocol position: each packet's length follows from the command's, the
// command stands where its framing puts it, a VXB BCC recomputed over the packet
// matches and a Modbus CRC over the whole packet is 0.
#include "command/command_text.h"
#include "command/framing.h"
#include "fuzz_check.h"
#include "instrument/checksums.h"

namespace {

constexpr char kEtx = 0x03;

quint8 Xor(QByteArrayView bytes)
{
    quint8 sum = 0;
    for (char c : bytes)
        sum ^= quint8(c);
    return sum;
}

// Address byte, text, ETX and, unless left out, the BCC over the text and ETX.
void CheckVxb(const QByteArray& packet, QByteArrayView text, qint64 address, int bccOffset, bool withBcc)
{
    FUZZ_CHECK(packet.size() == text.size() + (withBcc ? 3 : 2));
    FUZZ_CHECK(quint8(packet[0]) == (0x80 | (address & 0x7F)));
    FUZZ_CHECK(QByteArrayView(packet).sliced(1, text.size()) == text);
    FUZZ_CHECK(packet[text.size() + 1] == kEtx);
    if (withBcc)
        FUZZ_CHECK(quint8(packet.back()) == quint8(Xor(QByteArrayView(packet).sliced(1, text.size() + 1)) + bccOffset));
}

// "MN 00" and the command with its check byte in upper-case hexadecimal digits.
void CheckRavo(const QByteArray& packet, const QByteArray& command, qint64 address)
{
    const qsizetype textSize = 5 + 2 * (command.size() + 1);
    FUZZ_CHECK(packet.size() == 2 * command.size() + 10);
    const QByteArray text = packet.mid(1, textSize);
    CheckVxb(packet, text, address, 0, true);
    FUZZ_CHECK(text.startsWith("MN 00"));
    const QByteArray digits = text.sliced(5);
    FUZZ_CHECK(digits == digits.toUpper());
    const QByteArray decoded = QByteArray::fromHex(digits);
    FUZZ_CHECK(decoded.size() == command.size() + 1 && decoded.startsWith(command));
    FUZZ_CHECK(quint8(decoded.back()) == RavoCheck(command));
}

void CheckPacket(const QByteArray& command, int position, qint64 address)
{
    const QByteArray packet = FramePacket(command, position, address);
    const qsizetype n = command.size();
    switch (position) {
    case VxbWithBcc:
    case VxbNoBcc:
    case VxbWrongBcc:
        CheckVxb(packet, command, address, position == VxbWrongBcc ? 1 : 0, position != VxbNoBcc);
        break;
    case VxbRavo:
        CheckRavo(packet, command, address);
        break;
    case AsciiCrlf:
        FUZZ_CHECK(packet == command + "\r\n");
        break;
    case ModbusRtu:
        FUZZ_CHECK(packet.size() == n + 3);
        FUZZ_CHECK(quint8(packet[0]) == quint8(address & 0xFF));
        FUZZ_CHECK(packet.mid(1, n) == command);
        FUZZ_CHECK(ModbusCrc(packet) == 0 && InstrumentModbusCrc(packet) == 0);
        break;
    case Hart:
        FUZZ_CHECK(packet.size() == n + 6);
        FUZZ_CHECK(packet.startsWith(QByteArray(5, char(0xFF))));
        FUZZ_CHECK(packet.mid(5, n) == command);
        FUZZ_CHECK(quint8(packet.back()) == Xor(command));
        break;
    default: // no protocol, or a position past the list
        FUZZ_CHECK(packet == command);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const DecodeOptions options { bool(data[0] & 1), bool(data[0] & 2), bool(data[0] & 4), bool(data[0] & 8) };
    // Negative and wide addresses too: only their low bits may reach the packet.
    const qint64 address = qint64(qint8(data[1])) * (qint64(1) << (data[0] >> 4));
    const auto command = DecodeCommandText(QByteArray(reinterpret_cast<const char*>(data + 2), qsizetype(size - 2)), options);
    if (!command)
        return 0;
    if (options.disp)
        FUZZ_CHECK(command->startsWith("DISP "));
    for (int position = -2; position <= 9; ++position)
        CheckPacket(*command, position, address);
    return 0;
}
