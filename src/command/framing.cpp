#include "command/framing.h"

namespace
{

constexpr char Etx = 0x03;

char Byte(unsigned value)
{
    return static_cast<char>(value & 0xFF);
}

unsigned XorOf(QByteArrayView bytes, unsigned start)
{
    for (const char c : bytes)
        start ^= static_cast<unsigned char>(c);
    return start;
}

// The BCC covers the text and ETX, never the address byte.
QByteArray VxbPacket(const QByteArray& command, qint64 address, int bccOffset, bool withBcc)
{
    QByteArray packet;
    packet.append(Byte(0x80 | static_cast<unsigned>(address & 0x7F))).append(command).append(Etx);
    if (withBcc)
        packet.append(Byte(XorOf(command, Etx) + bccOffset));
    return packet;
}

unsigned RavoCheck(QByteArrayView command)
{
    unsigned k = 1;
    for (const char c : command) {
        k ^= static_cast<unsigned char>(c);
        k = (((k & 0x80) ? 2 * k + 2 : 2 * k + 1) ^ k) & 0xFF;
    }
    return k;
}

// Ravo devices take the command as hexadecimal text behind "MN 00".
QByteArray RavoCommand(const QByteArray& command)
{
    const QByteArray checked = command + Byte(RavoCheck(command));
    return QByteArrayLiteral("MN 00") + checked.toHex().toUpper();
}

QByteArray ModbusPacket(const QByteArray& command, qint64 address)
{
    QByteArray packet(1, Byte(static_cast<unsigned>(address & 0xFF)));
    packet.append(command);
    const quint16 crc = ModbusCrc(packet);
    return packet.append(Byte(crc)).append(Byte(crc >> 8));
}

QByteArray HartPacket(const QByteArray& command)
{
    return QByteArray(5, Byte(0xFF)) + command + Byte(XorOf(command, 0));
}

} // namespace

const QStringList& ProtocolNames()
{
    static const QStringList names = { "VXB, with BCC", "VXB, no BCC", "VXB, wrong BCC", "ASCII CRLF",
        "VXB-Ravo", "As is", "Modbus RTU", "HART" };
    return names;
}

QByteArray FramePacket(const QByteArray& command, int protocolPosition, qint64 address)
{
    switch (protocolPosition) {
    case VxbWithBcc:
        return VxbPacket(command, address, 0, true);
    case VxbNoBcc:
        return VxbPacket(command, address, 0, false);
    case VxbWrongBcc:
        return VxbPacket(command, address, 1, true);
    case AsciiCrlf:
        return command + "\r\n";
    case VxbRavo:
        return VxbPacket(RavoCommand(command), address, 0, true);
    case ModbusRtu:
        return ModbusPacket(command, address);
    case Hart:
        return HartPacket(command);
    default:
        return command;
    }
}

quint16 ModbusCrc(QByteArrayView bytes)
{
    quint16 crc = 0xFFFF;
    for (const char c : bytes) {
        crc ^= static_cast<unsigned char>(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
    }
    return crc;
}
