#pragma once

#include <QByteArrayView>
#include <QString>
#include <functional>

// The pieces every Modbus answer's text is made of.

// Between the parts of one answer's line.
inline const QString kModbusSeparator = QStringLiteral(" \u00B7 ");

// value in upper-case hexadecimal with at least `digits` digits, without a prefix.
QString ModbusHex(unsigned value, int digits);

// The big-endian 16-bit word at data[at] and data[at + 1]; the caller checks that both are there.
unsigned ModbusWord(QByteArrayView data, qsizetype at);

// The texts of items 0 to count - 1 joined by `between`; only the first few are shown, then "…", so
// that an answer of any length gives a line of bounded length.
QString ModbusCapped(qsizetype count, const QString& between, const std::function<QString(qsizetype)>& item);

// The bytes as "01 FF 41", capped as ModbusCapped.
QString ModbusBytes(QByteArrayView data);
