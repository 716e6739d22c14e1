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

// Rounding the half-character estimate could drop RTS while the last stop bit
// is still on the line, so the line time itself is the floor.
int RtsIntervalMs(qsizetype packetLength, double dataBits, int parityPosition, double stopBits, double baud)
{
    const double bitsPerCharacter = dataBits + 1 + ParityBits(parityPosition) + stopBits;
    if (!(bitsPerCharacter > 0 && baud > 0) || !std::isfinite(bitsPerCharacter) || !std::isfinite(baud))
        return 1;
    const double msPerCharacter = bitsPerCharacter * 1000 / baud;
    const auto n = static_cast<double>(packetLength);
    const double interval
        = std::max(RoundHalfEven((n + 0.5) * msPerCharacter), std::ceil(n * msPerCharacter));
    if (!(interval >= 1))
        return 1;
    return static_cast<int>(std::min(interval, LongestInterval));
}
