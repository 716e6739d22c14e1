#include "instrument/hart_device.h"

#include "instrument/checksums.h"

#include <QtEndian>
#include <cstring>
#include <optional>

namespace
{

constexpr char kShortDelimiter = 0x02;
constexpr char kLongDelimiter = char(0x82);
constexpr char kAnswerDelimiter = char(0x86);
constexpr quint8 kMasterBit = 0x80;
constexpr quint8 kCommandNotImplemented = 64;

// Manufacturer (6 bits), device type and a three-byte device id.
constexpr char kUniqueAddress[5] = { 0x2D, char(0xD5), 0x00, 0x00, 0x01 };

struct HartRequest {
    quint8 masterBit;
    quint8 command;
};

bool IsForUs(QByteArrayView address)
{
    if (address.size() == 1)
        return (quint8(address[0]) & 0x3F) == 0;
    QByteArray unique = address.toByteArray();
    unique[0] = char(quint8(unique[0]) & 0x3F);
    return unique == QByteArrayView(kUniqueAddress, 5) || unique == QByteArray(5, '\0');
}

std::optional<HartRequest> ParseRequest(QByteArrayView request)
{
    qsizetype start = 0;
    while (start < request.size() && quint8(request[start]) == 0xFF)
        ++start;
    const QByteArrayView frame = request.sliced(start);
    const qsizetype addressLength = !frame.isEmpty() && frame[0] == kLongDelimiter ? 5 : 1;
    const qsizetype countAt = 1 + addressLength + 1;
    if (frame.size() <= countAt || frame.size() != countAt + 1 + quint8(frame[countAt]) + 1)
        return std::nullopt;
    if ((frame[0] != kShortDelimiter && frame[0] != kLongDelimiter)
        || XorCheck(frame.first(frame.size() - 1)) != quint8(frame.back())
        || !IsForUs(frame.sliced(1, addressLength)))
        return std::nullopt;
    return HartRequest { quint8(quint8(frame[1]) & kMasterBit), quint8(frame[countAt - 1]) };
}

QByteArray IdentityData()
{
    // Expanded type code, manufacturer, device type, preambles wanted, universal
    // and device revisions, software, hardware, flags, device id.
    QByteArray data;
    data.append(char(0xFE)).append(kUniqueAddress[0]).append(kUniqueAddress[1]);
    data.append("\x05\x05\x01\x01\x08\x00", 6).append(kUniqueAddress + 2, 3);
    return data;
}

QByteArray PrimaryVariableData()
{
    constexpr char kDegreesCelsius = 32;
    const float value = 21.5f;
    quint32 bits;
    std::memcpy(&bits, &value, sizeof bits);
    QByteArray data(1, kDegreesCelsius);
    data.resize(5);
    qToBigEndian(bits, data.data() + 1);
    return data;
}

} // namespace

QByteArray HartAnswer(QByteArrayView request, bool badCheck)
{
    const std::optional<HartRequest> parsed = ParseRequest(request);
    if (!parsed)
        return {};
    const bool known = parsed->command <= 1;
    const QByteArray data = !known ? QByteArray()
        : parsed->command == 0     ? IdentityData()
                                   : PrimaryVariableData();
    QByteArray frame(1, kAnswerDelimiter);
    frame.append(char(kUniqueAddress[0] | parsed->masterBit)).append(kUniqueAddress + 1, 4);
    frame.append(char(parsed->command)).append(char(2 + data.size()));
    frame.append(char(known ? 0 : kCommandNotImplemented)).append('\0').append(data);
    frame.append(char(XorCheck(frame) + (badCheck ? 1 : 0)));
    return QByteArray(5, char(0xFF)) + frame;
}
