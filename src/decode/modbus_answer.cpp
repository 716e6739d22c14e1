#include "decode/modbus_answer.h"

#include "command/framing.h"
#include "decode/modbus_fields.h"
#include "decode/modbus_functions.h"

#include <utility>

namespace
{

constexpr std::pair<unsigned, const char*> kExceptions[] = {
    { 0x01, "illegal function" },
    { 0x02, "illegal data address" },
    { 0x03, "illegal data value" },
    { 0x04, "server device failure" },
    { 0x05, "acknowledge" },
    { 0x06, "server device busy" },
    { 0x08, "memory parity error" },
    { 0x0A, "gateway path unavailable" },
    { 0x0B, "gateway target device failed to respond" },
};

const char* ExceptionName(unsigned code)
{
    for (const auto& [known, name] : kExceptions)
        if (known == code)
            return name;
    return "unknown exception";
}

// "03 read holding registers", or "41 unknown function".
QString FunctionText(unsigned code)
{
    const ModbusFunction* function = FindModbusFunction(code);
    return ModbusHex(code, 2) + u' ' + QLatin1StringView(function ? function->name : "unknown function");
}

// An exception answer always stands out; its one data byte is the exception's code.
DecodedAnswer Exception(unsigned function, QByteArrayView data)
{
    const QString head
        = ModbusHex(function, 2) + QStringLiteral(" exception to ") + FunctionText(function & 0x7F);
    if (data.size() != 1)
        return { head + kModbusSeparator + QStringLiteral("%1 data bytes where 1 belongs").arg(data.size()),
            true };
    const unsigned code = static_cast<unsigned char>(data[0]);
    return { head + kModbusSeparator + ModbusHex(code, 2) + u' ' + QLatin1StringView(ExceptionName(code)),
        true };
}

// The function code and its data, between the slave address and the CRC.
DecodedAnswer Pdu(unsigned function, QByteArrayView data)
{
    if (function & 0x80)
        return Exception(function, data);
    const ModbusFunction* known = FindModbusFunction(function);
    if (!known)
        return { FunctionText(function), true };
    const DecodedAnswer described = known->decode(data);
    return { FunctionText(function) + kModbusSeparator + described.text, described.standsOut };
}

} // namespace

DecodedAnswer DecodeModbusAnswer(QByteArrayView answer)
{
    if (answer.isEmpty())
        return { QStringLiteral("empty answer"), true };
    const QString slave = QStringLiteral("slave %1").arg(static_cast<unsigned char>(answer[0]));
    if (answer.size() < 4)
        return { slave + kModbusSeparator + QStringLiteral("too short: length %1").arg(answer.size()), true };
    const QByteArrayView framed = answer.first(answer.size() - 2);
    const unsigned sent = static_cast<unsigned char>(answer[answer.size() - 2])
        | static_cast<unsigned char>(answer.back()) << 8;
    const bool crcOk = ModbusCrc(framed) == sent;
    const DecodedAnswer pdu = Pdu(static_cast<unsigned char>(framed[1]), framed.sliced(2));
    return { slave + kModbusSeparator + pdu.text + kModbusSeparator
            + (crcOk ? QStringLiteral("CRC ok") : QStringLiteral("CRC error")),
        pdu.standsOut || !crcOk };
}
