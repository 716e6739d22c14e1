#include "app/settings/settings_reader.h"

#include "common/lenient_number.h"

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

std::optional<int> SettingInt16(const QString& value)
{
    const auto number = RoundToInt16(LenientNumber(value));
    return number ? std::optional<int>(*number) : std::nullopt;
}

double SettingMemory(const QString& value)
{
    return LenientNumber(value);
}
