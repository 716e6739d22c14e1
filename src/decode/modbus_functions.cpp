#include "decode/modbus_functions.h"

#include "decode/modbus_fields.h"

#include <optional>

namespace
{

DecodedAnswer Malformed(const QString& text)
{
    return { text, true };
}

QString Register(unsigned value)
{
    return QStringLiteral("%1 (0x%2)").arg(value).arg(ModbusHex(value, 4));
}

// A byte count first, then exactly that many bytes, and at least one.
std::optional<DecodedAnswer> BadCount(QByteArrayView data)
{
    if (data.isEmpty())
        return Malformed(QStringLiteral("no byte count"));
    const qsizetype count = static_cast<unsigned char>(data[0]);
    if (count != data.size() - 1)
        return Malformed(QStringLiteral("byte count %1 but %2 bytes follow").arg(count).arg(data.size() - 1));
    if (count == 0)
        return Malformed(QStringLiteral("byte count 0, no data"));
    return std::nullopt;
}

std::optional<DecodedAnswer> BadLength(QByteArrayView data, qsizetype expected)
{
    if (data.size() == expected)
        return std::nullopt;
    return Malformed(QStringLiteral("%1 data bytes where %2 belong").arg(data.size()).arg(expected));
}

// Coils or inputs, eight to a byte, the lowest bit of the first byte being the first address.
DecodedAnswer Bits(QByteArrayView data)
{
    if (const auto bad = BadCount(data))
        return *bad;
    const QString states = ModbusCapped(data.size() - 1, QStringLiteral(" "), [&](qsizetype i) {
        QString eight;
        for (int bit = 0; bit < 8; ++bit)
            eight += static_cast<unsigned char>(data[i + 1]) >> bit & 1 ? u'1' : u'0';
        return eight;
    });
    return { QStringLiteral("%1 bits, first leftmost: %2").arg(8 * (data.size() - 1)).arg(states) };
}

DecodedAnswer Registers(QByteArrayView data)
{
    if (const auto bad = BadCount(data))
        return *bad;
    if (data.size() % 2 == 0)
        return Malformed(QStringLiteral("odd byte count %1 for registers").arg(data.size() - 1));
    return { ModbusCapped((data.size() - 1) / 2, QStringLiteral(", "), [&](qsizetype i) {
        return QStringLiteral("%1=%2").arg(i).arg(Register(ModbusWord(data, 1 + 2 * i)));
    }) };
}

DecodedAnswer SingleCoil(QByteArrayView data)
{
    if (const auto bad = BadLength(data, 4))
        return *bad;
    const unsigned value = ModbusWord(data, 2);
    const QString address = QStringLiteral("address %1 = ").arg(ModbusWord(data, 0));
    if (value == 0xFF00 || value == 0)
        return { address + (value ? QStringLiteral("ON") : QStringLiteral("OFF")) };
    return Malformed(address + QStringLiteral("0x%1, neither ON nor OFF").arg(ModbusHex(value, 4)));
}

DecodedAnswer SingleRegister(QByteArrayView data)
{
    if (const auto bad = BadLength(data, 4))
        return *bad;
    return { QStringLiteral("address %1 = %2").arg(ModbusWord(data, 0)).arg(Register(ModbusWord(data, 2))) };
}

DecodedAnswer MultipleWrite(QByteArrayView data)
{
    if (const auto bad = BadLength(data, 4))
        return *bad;
    return { QStringLiteral("address %1, quantity %2").arg(ModbusWord(data, 0)).arg(ModbusWord(data, 2)) };
}

DecodedAnswer ExceptionStatus(QByteArrayView data)
{
    if (const auto bad = BadLength(data, 1))
        return *bad;
    return { QStringLiteral("status 0x%1").arg(ModbusHex(static_cast<unsigned char>(data[0]), 2)) };
}

DecodedAnswer Diagnostics(QByteArrayView data)
{
    if (data.size() < 2)
        return Malformed(QStringLiteral("no sub-function"));
    const QString bytes = data.size() > 2 ? ModbusBytes(data.sliced(2)) : QStringLiteral("none");
    return { QStringLiteral("sub-function %1, data %2").arg(ModbusWord(data, 0)).arg(bytes) };
}

DecodedAnswer ServerId(QByteArrayView data)
{
    if (const auto bad = BadCount(data))
        return *bad;
    return { QStringLiteral("%1 bytes: %2").arg(data.size() - 1).arg(ModbusBytes(data.sliced(1))) };
}

DecodedAnswer MaskWrite(QByteArrayView data)
{
    if (const auto bad = BadLength(data, 6))
        return *bad;
    return { QStringLiteral("address %1, AND 0x%2, OR 0x%3")
                 .arg(ModbusWord(data, 0))
                 .arg(ModbusHex(ModbusWord(data, 2), 4), ModbusHex(ModbusWord(data, 4), 4)) };
}

constexpr ModbusFunction kFunctions[] = {
    { 0x01, "read coils", Bits },
    { 0x02, "read discrete inputs", Bits },
    { 0x03, "read holding registers", Registers },
    { 0x04, "read input registers", Registers },
    { 0x05, "write single coil", SingleCoil },
    { 0x06, "write single register", SingleRegister },
    { 0x07, "read exception status", ExceptionStatus },
    { 0x08, "diagnostics", Diagnostics },
    { 0x0F, "write multiple coils", MultipleWrite },
    { 0x10, "write multiple registers", MultipleWrite },
    { 0x11, "report server id", ServerId },
    { 0x16, "mask write register", MaskWrite },
    { 0x17, "read/write multiple registers", Registers },
};

} // namespace

const ModbusFunction* FindModbusFunction(unsigned code)
{
    for (const ModbusFunction& function : kFunctions)
        if (function.code == code)
            return &function;
    return nullptr;
}
