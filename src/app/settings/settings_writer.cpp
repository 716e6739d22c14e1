#include "app/settings/settings_writer.h"

#include "app/settings/setting_key.h"
#include "common/bytes.h"
#include "common/plain_number.h"

#include <algorithm>

namespace {

QStringView FirstLine(QStringView text)
{
    const auto lineBreak
        = std::find_if(text.begin(), text.end(), [](QChar c) { return c == u'\r' || c == u'\n'; });
    return text.first(lineBreak - text.begin());
}

// Collects "key=value" lines.
class SettingsText
{
public:
    void add(QByteArrayView key, QStringView value)
    {
        bytes_.append(key).append('=').append(ToWindows1252(value)).append("\r\n");
    }
    // A number stands between blanks; a minus sign takes the place of the leading blank.
    void addNumber(SettingKey key, double value)
    {
        const QString sign = value < 0 ? QString() : QStringLiteral(" ");
        add(SettingKeyName(key), sign + PlainNumber(value) + QLatin1Char(' '));
    }
    // Text goes as it is, up to a line break, which would end the line early.
    void addText(QByteArrayView key, QStringView text) { add(key, FirstLine(text)); }
    void addText(SettingKey key, QStringView text) { addText(SettingKeyName(key), text); }
    const QByteArray& bytes() const { return bytes_; }

private:
    QByteArray bytes_;
};

void AddWindow(SettingsText& text, const QRect& window)
{
    text.addNumber(SettingKey::WindowLeft, window.x());
    text.addNumber(SettingKey::WindowTop, window.y());
    text.addNumber(SettingKey::WindowWidth, window.width());
    text.addNumber(SettingKey::WindowHeight, window.height());
}

void AddTraffic(SettingsText& text, const QRect& window)
{
    text.addNumber(SettingKey::TrafficLeft, window.x());
    text.addNumber(SettingKey::TrafficTop, window.y());
    text.addNumber(SettingKey::TrafficWidth, window.width());
    text.addNumber(SettingKey::TrafficHeight, window.height());
}

QByteArray NumberedKey(SettingKey key, int number)
{
    return SettingKeyName(key).toByteArray() + QByteArray::number(number);
}

void AddPortMap(SettingsText& text, const QMap<int, QString>& portMap)
{
    for (auto entry = portMap.begin(); entry != portMap.end(); ++entry) {
        if (entry.key() >= 1 && entry.key() <= 16)
            text.addText(NumberedKey(SettingKey::ComPath, entry.key()), entry.value());
    }
}

void AddConnection(SettingsText& text, const SettingsSnapshot& snapshot)
{
    text.addNumber(SettingKey::Port, snapshot.portIndex + 1);
    AddPortMap(text, snapshot.portMap);
    text.addNumber(SettingKey::Baud, snapshot.baudIndex);
    text.addNumber(SettingKey::Bits, snapshot.bitsIndex);
    text.addNumber(SettingKey::Par, snapshot.parIndex);
    text.addNumber(SettingKey::Stop, snapshot.stopIndex);
    text.addNumber(SettingKey::Prot, snapshot.protIndex);
    text.addText(SettingKey::Addr, snapshot.addr);
    text.addText(SettingKey::Repeat, snapshot.repeat);
    text.addNumber(SettingKey::DTR, snapshot.dtr);
    text.addNumber(SettingKey::RTS, snapshot.rts);
    text.addNumber(SettingKey::AutoRTS, snapshot.autoRts);
}

QString ModeName(SendMode mode)
{
    switch (mode) {
    case SendMode::Free:
        return QStringLiteral("Free");
    case SendMode::Time:
        return QStringLiteral("Time");
    case SendMode::File:
        return QStringLiteral("File");
    }
    return {};
}

void AddMode(SettingsText& text, const SettingsSnapshot& snapshot)
{
    if (!snapshot.mode)
        return;
    text.add(SettingKeyName(SettingKey::Mode), ModeName(*snapshot.mode));
    if (*snapshot.mode != SendMode::File)
        return;
    text.addText(SettingKey::Filename, snapshot.fileName);
    text.addNumber(SettingKey::RepeatON, snapshot.repeatOn);
}

void AddCommandOptions(SettingsText& text, const SettingsSnapshot& snapshot)
{
    text.addNumber(SettingKey::Time, snapshot.timeIndex);
    text.addNumber(SettingKey::Hex, snapshot.hex);
    text.addNumber(SettingKey::Disp, snapshot.disp);
    text.addNumber(SettingKey::AA, snapshot.aa);
    text.addText(SettingKey::Chars, snapshot.chars);
    text.addNumber(SettingKey::Noscroll, snapshot.noScroll);
    text.addNumber(SettingKey::Modefreedisp, snapshot.modeFreeDisp);
    text.addNumber(SettingKey::Modetimedisp, snapshot.modeTimeDisp);
    text.addNumber(SettingKey::Modefiledisp, snapshot.modeFileDisp);
}

// A remembered state is written bare, and empty when the slot never got one.
QString StateText(const std::optional<double>& state)
{
    return state ? PlainNumber(*state) : QString();
}

void AddRecent(SettingsText& text, const std::array<RecentSlot, 5>& recent)
{
    for (int slot = 0; slot < int(recent.size()); ++slot) {
        const RecentSlot& entry = recent[slot];
        // A slot whose text is cut to nothing at its line break would read back empty.
        if (FirstLine(entry.text).isEmpty())
            continue;
        text.addText(NumberedKey(SettingKey::Lastcmd, slot), entry.text);
        text.add(NumberedKey(SettingKey::Lastcmddisp, slot), StateText(entry.disp));
        text.add(NumberedKey(SettingKey::Lastcmdhex, slot), StateText(entry.hex));
    }
}

} // namespace

QByteArray WriteSettings(const SettingsSnapshot& snapshot)
{
    SettingsText text;
    if (snapshot.window)
        AddWindow(text, *snapshot.window);
    AddConnection(text, snapshot);
    AddMode(text, snapshot);
    AddCommandOptions(text, snapshot);
    AddRecent(text, snapshot.recent);
    text.addText(SettingKey::Output, snapshot.output);
    text.addNumber(SettingKey::LowLatency, snapshot.lowLatency);
    if (snapshot.traffic)
        AddTraffic(text, *snapshot.traffic);
    return text.bytes();
}
