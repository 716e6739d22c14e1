#include "app/settings/setting_key.h"

#include <array>

namespace {

constexpr std::array<const char*, 37> KeyNames = { "WindowLeft", "WindowTop", "WindowWidth", "WindowHeight",
    "Port", "Baud", "Bits", "Par", "Stop", "Prot", "Addr", "Repeat", "DTR", "RTS", "AutoRTS", "Mode",
    "Filename", "RepeatON", "Time", "Hex", "Disp", "AA", "Chars", "Noscroll", "Modefreedisp", "Modetimedisp",
    "Modefiledisp", "Lastcmd", "Lastcmddisp", "Lastcmdhex", "Output", "LowLatency", "TrafficLeft", "TrafficTop",
    "TrafficWidth", "TrafficHeight", "COM" };

bool IsNumbered(SettingKey key)
{
    return key == SettingKey::Lastcmd || key == SettingKey::Lastcmddisp || key == SettingKey::Lastcmdhex
        || key == SettingKey::ComPath;
}

} // namespace

QByteArrayView SettingKeyName(SettingKey key)
{
    return KeyNames[static_cast<std::size_t>(key)];
}

std::optional<SettingKey> FixedSettingKey(QByteArrayView name)
{
    for (std::size_t i = 0; i < KeyNames.size(); ++i) {
        const auto key = static_cast<SettingKey>(i);
        if (!IsNumbered(key) && name == QByteArrayView(KeyNames[i]))
            return key;
    }
    return std::nullopt;
}
