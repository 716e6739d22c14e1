#include "command/device_address.h"

#include "common/lenient_number.h"

#include <limits>

qint64 AddressNumber(QStringView addressText)
{
    const double rounded = RoundHalfEven(LenientNumber(addressText));
    constexpr double kLimit = 9.2e18; // inside qint64 whatever the rounding of the bound
    if (rounded >= kLimit)
        return std::numeric_limits<qint64>::max();
    if (rounded <= -kLimit)
        return std::numeric_limits<qint64>::min();
    return qint64(rounded);
}
