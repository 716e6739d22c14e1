#include "instrument/frame_shapes.h"

#include <optional>

namespace
{

constexpr char kEtx = 0x03;

ShapeMatch Waiting(bool atGap)
{
    return { atGap ? Fit::NotThis : Fit::Incomplete };
}

ShapeMatch CompleteAt(QByteArrayView buffer, qsizetype length, bool atGap)
{
    if (buffer.size() >= length)
        return { Fit::Complete, length };
    return Waiting(atGap);
}

quint8 At(QByteArrayView buffer, qsizetype index)
{
    return quint8(buffer[index]);
}

// The request length of the functions we know, once the header tells it.
std::optional<qsizetype> ModbusRequestLength(QByteArrayView buffer)
{
    if (buffer.size() < 2)
        return std::nullopt;
    switch (At(buffer, 1)) {
    case 3:
    case 4:
    case 6:
        return 8;
    case 16:
        if (buffer.size() < 7)
            return std::nullopt;
        return 9 + At(buffer, 6);
    default:
        return std::nullopt;
    }
}

} // namespace

ShapeMatch HartShape(QByteArrayView buffer, bool atGap)
{
    if (buffer.isEmpty() || At(buffer, 0) != 0xFF)
        return { Fit::NotThis };
    qsizetype preamble = 0;
    while (preamble < buffer.size() && At(buffer, preamble) == 0xFF)
        ++preamble;
    if (preamble == buffer.size())
        return Waiting(atGap);
    if (preamble < 2)
        return { Fit::NotThis };
    const quint8 delimiter = At(buffer, preamble);
    if (delimiter != 0x02 && delimiter != 0x82)
        return { Fit::NotThis };
    const qsizetype countAt = preamble + 1 + (delimiter == 0x82 ? 5 : 1) + 1;
    if (buffer.size() <= countAt)
        return Waiting(atGap);
    return CompleteAt(buffer, countAt + 1 + At(buffer, countAt) + 1, atGap);
}

ShapeMatch ModbusShape(QByteArrayView buffer, quint8 slaveId, bool atGap)
{
    if (buffer.isEmpty() || At(buffer, 0) != slaveId)
        return { Fit::NotThis };
    if (const auto length = ModbusRequestLength(buffer); length && buffer.size() >= *length)
        return { Fit::Complete, *length };
    if (atGap)
        return { Fit::Complete, buffer.size() };
    return { Fit::Incomplete };
}

ShapeMatch VxbShape(QByteArrayView buffer, bool atGap)
{
    if (buffer.isEmpty() || !(At(buffer, 0) & 0x80))
        return { Fit::NotThis };
    const qsizetype etx = buffer.indexOf(kEtx, 1);
    if (etx < 0)
        return Waiting(atGap);
    if (buffer.size() > etx + 1)
        return { Fit::Complete, etx + 2 };
    if (atGap)
        return { Fit::Complete, etx + 1 };
    return { Fit::Incomplete };
}

ShapeMatch LineShape(QByteArrayView buffer, bool atGap)
{
    const qsizetype end = buffer.indexOf(QByteArrayView("\r\n"));
    if (end < 0)
        return Waiting(atGap);
    return { Fit::Complete, end + 2 };
}
