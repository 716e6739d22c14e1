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
    return {RepeatCountStep::CountDown, PlainNumber(value - 1)};
}
