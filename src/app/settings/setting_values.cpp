#include "app/settings/settings_reader.h"

#include "common/lenient_number.h"

#include <algorithm>

std::optional<int> SettingListIndex(const QString& value, int listCount, double offset)
{
    const auto index = RoundToInt16(LenientNumber(value) + offset);
    if (!index || *index < -1 || *index >= listCount)
        return std::nullopt;
    return *index;
}

std::optional<int> SettingCheckState(const QString& value)
{
    const auto state = RoundToInt16(LenientNumber(value));
    if (!state || *state < 0 || *state > 2)
        return std::nullopt;
    return *state;
}

int SettingTwips(const QString& value)
{
    // Far beyond any desktop; the window is brought back onto a screen anyway.
    constexpr double limit = 1e9;
    return int(RoundHalfEven(std::clamp(LenientNumber(value), -limit, limit)));
}

double SettingMemory(const QString& value)
{
    return LenientNumber(value);
}
