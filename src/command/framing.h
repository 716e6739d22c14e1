#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QStringList>

// Positions of the protocol list.
enum ProtocolPosition : int {
    VxbWithBcc = 0,
    VxbNoBcc = 1,
    VxbWrongBcc = 2,
    AsciiCrlf = 3,
    VxbRavo = 4,
    AsIs = 5,
    ModbusRtu = 6,
    Hart = 7
};

// The protocol list's entries, by position.
const QStringList& ProtocolNames();

// Wraps the command bytes in a packet of the protocol at protocolPosition.
// address is the address box's number, already rounded; only its low bits are
// used. A position outside the list sends the command unchanged.
QByteArray FramePacket(const QByteArray& command, int protocolPosition, qint64 address);

// The CRC-16 of Modbus RTU (start 0xFFFF, reflected polynomial 0xA001).
quint16 ModbusCrc(QByteArrayView bytes);
