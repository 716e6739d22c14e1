#pragma once

#include <QByteArray>

// The instrument checks the terminal's packets with its own copies of these
// sums, so that a fault in the terminal's framing cannot hide behind shared code.

// XOR of every byte, starting from start.
quint8 XorCheck(QByteArrayView bytes, quint8 start = 0);

// CRC-16 of Modbus RTU: start 0xFFFF, reflected polynomial 0xA001, no final XOR.
quint16 InstrumentModbusCrc(QByteArrayView bytes);

// The check byte of a hexadecimal-text command.
quint8 RavoCheck(QByteArrayView command);
