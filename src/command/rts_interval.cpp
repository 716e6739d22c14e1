#include "command/rts_interval.h"

#include "common/lenient_number.h"

#include <algorithm>
#include <cmath>

namespace
{

constexpr double LongestInterval = 65535;

int ParityBits(int parityPosition)
{
    return (parityPosition > 0) - (parityPosition < 0);
}

} // namespace

double PacketLineMs(qsizetype packetLength, double dataBits, int parityPosition, double stopBits, double baud)
{
    const double bitsPerCharacter = dataBits + 1 + ParityBits(parityPosition) + stopBits;
    if (!(bitsPerCharacter > 0 && baud > 0) || !std::isfinite(bitsPerCharacter) || !std::isfinite(baud)
        || packetLength < 0)
        return 0;
    return static_cast<double>(packetLength) * bitsPerCharacter * 1000 / baud;
}

// Rounding the half-character estimate could drop RTS while the last stop bit
// is still on the line, so the line time itself is the floor.
int RtsIntervalMs(qsizetype packetLength, double dataBits, int parityPosition, double stopBits, double baud)
{
    const double line = PacketLineMs(packetLength, dataBits, parityPosition, stopBits, baud);
    const double halfCharacter = PacketLineMs(1, dataBits, parityPosition, stopBits, baud) / 2;
    const double interval = std::max(RoundHalfEven(line + halfCharacter), std::ceil(line));
    if (!(interval >= 1))
        return 1;
    return static_cast<int>(std::min(interval, LongestInterval));
}
