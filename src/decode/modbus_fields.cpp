#include "decode/modbus_fields.h"

#include <QStringList>
#include <algorithm>

namespace
{
constexpr qsizetype kShownAtMost = 32;
}

QString ModbusHex(unsigned value, int digits)
{
    return QString::number(value, 16).rightJustified(digits, u'0').toUpper();
}

unsigned ModbusWord(QByteArrayView data, qsizetype at)
{
    return static_cast<unsigned char>(data[at]) << 8 | static_cast<unsigned char>(data[at + 1]);
}

QString ModbusCapped(qsizetype count, const QString& between, const std::function<QString(qsizetype)>& item)
{
    QStringList shown;
    for (qsizetype i = 0; i < std::min(count, kShownAtMost); ++i)
        shown << item(i);
    if (count > kShownAtMost)
        shown << QStringLiteral("\u2026");
    return shown.join(between);
}

QString ModbusBytes(QByteArrayView data)
{
    return ModbusCapped(data.size(), QStringLiteral(" "),
        [&](qsizetype i) { return ModbusHex(static_cast<unsigned char>(data[i]), 2); });
}
