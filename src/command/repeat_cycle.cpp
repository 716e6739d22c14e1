#include "command/repeat_cycle.h"

#include "common/lenient_number.h"
#include "common/plain_number.h"

#include <climits>
#include <cmath>

qint64 RepeatIntervalMs(QStringView intervalText)
{
    const double milliseconds = RoundHalfEven(std::fabs(LenientNumber(intervalText)) * 1000);
    // Beyond what a timer can count (about 24 days) the interval is held there.
    return milliseconds >= double(INT_MAX) ? INT_MAX : qint64(milliseconds);
}

RepeatCountStep NextRepeatCount(QStringView countText)
{
    if (!IsWholeNumber(countText))
        return {};
    const double value = LenientNumber(countText);
    if (value <= 1)
        return {RepeatCountStep::LastSend, {}};
    const double next = value - 1;
    // A whole count below 2^53 is exact and is written so. A fraction keeps 15 digits: 1.1 - 1 is
    // 0.10000000000000009 in binary, and the operator typed decimals and reads "0.1".
    const bool exact = next == std::trunc(next) && next < 0x1p53;
    const double remaining = exact ? next : QString::number(next, 'g', 15).toDouble();
    return {RepeatCountStep::CountDown, PlainNumber(remaining)};
}
