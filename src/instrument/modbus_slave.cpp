#include "instrument/modbus_slave.h"

#include "instrument/checksums.h"

namespace
{

enum Exception : char { IllegalFunction = 1, IllegalAddress = 2, IllegalValue = 3 };

QByteArray ExceptionPdu(QByteArrayView pdu, Exception code)
{
    QByteArray reply;
    reply.append(char(quint8(pdu[0]) | 0x80)).append(char(code));
    return reply;
}

quint16 WordAt(QByteArrayView bytes, qsizetype index)
{
    return quint16(quint8(bytes[index]) << 8 | quint8(bytes[index + 1]));
}

void AppendWord(QByteArray& bytes, quint16 word)
{
    bytes.append(char(word >> 8)).append(char(word & 0xFF));
}

bool CrcMatches(QByteArrayView frame)
{
    const quint16 crc = InstrumentModbusCrc(frame.first(frame.size() - 2));
    return quint8(frame[frame.size() - 2]) == (crc & 0xFF) && quint8(frame.back()) == crc >> 8;
}

} // namespace

ModbusSlave::ModbusSlave(quint8 id)
    : id_(id)
{
    for (int n = 0; n < RegisterCount; ++n)
        registers_[n] = quint16(n);
}

QByteArray ModbusSlave::Reply(QByteArrayView request, bool badCheck)
{
    if (request.size() < 4 || quint8(request[0]) != id_ || !CrcMatches(request))
        return {};
    QByteArray reply;
    reply.append(char(id_)).append(ReplyPdu(request.sliced(1, request.size() - 3)));
    const quint16 crc = InstrumentModbusCrc(reply) ^ (badCheck ? 0x0101 : 0);
    reply.append(char(crc & 0xFF)).append(char(crc >> 8));
    return reply;
}

QByteArray ModbusSlave::ReplyPdu(QByteArrayView pdu)
{
    switch (quint8(pdu[0])) {
    case 3:
    case 4:
        return ReadRegisters(pdu);
    case 6:
        return WriteRegister(pdu);
    case 16:
        return WriteRegisters(pdu);
    default:
        return ExceptionPdu(pdu, IllegalFunction);
    }
}

QByteArray ModbusSlave::ReadRegisters(QByteArrayView pdu) const
{
    if (pdu.size() != 5 || WordAt(pdu, 3) < 1 || WordAt(pdu, 3) > 125)
        return ExceptionPdu(pdu, IllegalValue);
    const int first = WordAt(pdu, 1);
    const int count = WordAt(pdu, 3);
    if (first + count > RegisterCount)
        return ExceptionPdu(pdu, IllegalAddress);
    QByteArray reply;
    reply.append(pdu[0]).append(char(2 * count));
    for (int n = first; n < first + count; ++n)
        AppendWord(reply, registers_[n]);
    return reply;
}

QByteArray ModbusSlave::WriteRegister(QByteArrayView pdu)
{
    if (pdu.size() != 5)
        return ExceptionPdu(pdu, IllegalValue);
    if (WordAt(pdu, 1) >= RegisterCount)
        return ExceptionPdu(pdu, IllegalAddress);
    registers_[WordAt(pdu, 1)] = WordAt(pdu, 3);
    return pdu.toByteArray();
}

QByteArray ModbusSlave::WriteRegisters(QByteArrayView pdu)
{
    if (pdu.size() < 6)
        return ExceptionPdu(pdu, IllegalValue);
    const int first = WordAt(pdu, 1);
    const int count = WordAt(pdu, 3);
    if (count < 1 || count > 123 || quint8(pdu[5]) != 2 * count || pdu.size() != 6 + 2 * count)
        return ExceptionPdu(pdu, IllegalValue);
    if (first + count > RegisterCount)
        return ExceptionPdu(pdu, IllegalAddress);
    for (int n = 0; n < count; ++n)
        registers_[first + n] = WordAt(pdu, 6 + 2 * n);
    return pdu.first(5).toByteArray();
}
