#include "app/settings/settings_reader.h"

#include "common/bytes.h"
#include "common/lenient_number.h"

#include <array>

namespace {

struct KeyAndSlot {
    SettingKey key;
    int slot = 0;
};

// "COM1" to "COM16", digits only and no leading zero, so each port has exactly one spelling.
std::optional<KeyAndSlot> ComPathKey(QByteArrayView name)
{
    const QByteArrayView prefix = SettingKeyName(SettingKey::ComPath);
    if (!name.startsWith(prefix))
        return std::nullopt;
    const QByteArrayView digits = name.sliced(prefix.size());
    if (digits.isEmpty() || digits.size() > 2 || digits.front() == '0')
        return std::nullopt;
    int number = 0;
    for (const char digit : digits) {
        if (digit < '0' || digit > '9')
            return std::nullopt;
        number = number * 10 + (digit - '0');
    }
    return number <= 16 ? std::optional(KeyAndSlot { SettingKey::ComPath, number }) : std::nullopt;
}

// The longer prefixes go first, since "Lastcmd" begins the other two.
std::optional<KeyAndSlot> RecentKey(QByteArrayView name)
{
    constexpr std::array prefixes = { SettingKey::Lastcmddisp, SettingKey::Lastcmdhex, SettingKey::Lastcmd };
    for (const SettingKey key : prefixes) {
        const QByteArrayView prefix = SettingKeyName(key);
        if (!name.startsWith(prefix))
            continue;
        // The number cannot run past the "=", so reading the rest of the key is enough.
        const double slot = RoundHalfEven(LenientNumber(name.sliced(prefix.size())));
        if (slot < 0 || slot > 4)
            return std::nullopt;
        return KeyAndSlot { key, static_cast<int>(slot) };
    }
    return std::nullopt;
}

std::optional<KeyAndSlot> MatchKey(QByteArrayView name)
{
    if (const auto key = FixedSettingKey(name))
        return KeyAndSlot { *key };
    if (const auto comPath = ComPathKey(name))
        return comPath;
    return RecentKey(name);
}

std::optional<SettingLine> ParseLine(QByteArrayView line)
{
    const qsizetype equals = line.indexOf('=');
    if (equals < 0)
        return std::nullopt;
    const auto match = MatchKey(line.first(equals));
    if (!match)
        return std::nullopt;
    return SettingLine { match->key, match->slot, FromWindows1252(line.sliced(equals + 1)) };
}

QByteArrayView WithoutCarriageReturn(QByteArrayView line)
{
    return line.endsWith('\r') ? line.chopped(1) : line;
}

} // namespace

QList<SettingLine> ParseSettings(const QByteArray& fileBytes)
{
    const QByteArrayView bytes(fileBytes);
    QList<SettingLine> lines;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        if (auto line = ParseLine(WithoutCarriageReturn(bytes.sliced(start, end - start))))
            lines.append(std::move(*line));
        start = end + 1;
    }
    return lines;
}
