// The settings reader on any bytes, its value helpers on every value, and the
// round trip: the state the lines give, written, read back and written again, is
// byte-identical from the second writing on, and every written line is read back.
#include "app/settings/settings_reader.h"
#include "app/settings/settings_writer.h"
#include "fuzz_check.h"

#include <cmath>

namespace {

// The window's list boxes; generous, since the counts matter only for refusing.
constexpr int kListCount = 100;

struct IntField {
    SettingKey key;
    int SettingsSnapshot::*field;
    bool checkBox;
};

constexpr IntField kIntFields[] = {
    { SettingKey::Baud, &SettingsSnapshot::baudIndex, false },
    { SettingKey::Bits, &SettingsSnapshot::bitsIndex, false },
    { SettingKey::Par, &SettingsSnapshot::parIndex, false },
    { SettingKey::Stop, &SettingsSnapshot::stopIndex, false },
    { SettingKey::Prot, &SettingsSnapshot::protIndex, false },
    { SettingKey::Time, &SettingsSnapshot::timeIndex, false },
    { SettingKey::DTR, &SettingsSnapshot::dtr, true },
    { SettingKey::RTS, &SettingsSnapshot::rts, true },
    { SettingKey::AutoRTS, &SettingsSnapshot::autoRts, true },
    { SettingKey::RepeatON, &SettingsSnapshot::repeatOn, true },
    { SettingKey::Hex, &SettingsSnapshot::hex, true },
    { SettingKey::Disp, &SettingsSnapshot::disp, true },
    { SettingKey::AA, &SettingsSnapshot::aa, true },
    { SettingKey::Noscroll, &SettingsSnapshot::noScroll, true },
};

QString* TextField(SettingsSnapshot& s, SettingKey key)
{
    switch (key) {
    case SettingKey::Addr: return &s.addr;
    case SettingKey::Repeat: return &s.repeat;
    case SettingKey::Filename: return &s.fileName;
    case SettingKey::Chars: return &s.chars;
    case SettingKey::Output: return &s.output;
    default: return nullptr;
    }
}

double* MemoryField(SettingsSnapshot& s, SettingKey key)
{
    switch (key) {
    case SettingKey::Modefreedisp: return &s.modeFreeDisp;
    case SettingKey::Modetimedisp: return &s.modeTimeDisp;
    case SettingKey::Modefiledisp: return &s.modeFileDisp;
    default: return nullptr;
    }
}

void CheckHelpers(const QString& value)
{
    if (const auto index = SettingListIndex(value, kListCount, -1))
        FUZZ_CHECK(*index >= -1 && *index < kListCount);
    if (const auto state = SettingCheckState(value))
        FUZZ_CHECK(*state >= 0 && *state <= 2);
    FUZZ_CHECK(std::abs(SettingTwips(value)) <= 1000000000);
    FUZZ_CHECK(std::isfinite(SettingMemory(value)));
}

// Applies the lines as start-up does, up to the first value that must be refused.
SettingsSnapshot Apply(const QList<SettingLine>& lines)
{
    SettingsSnapshot s;
    int window[4] = {};
    for (const SettingLine& line : lines) {
        const QString& value = line.value;
        if (line.key <= SettingKey::WindowHeight) {
            window[int(line.key)] = SettingTwips(value);
            s.window = QRect(window[0], window[1], window[2], window[3]);
        } else if (line.key == SettingKey::Port) {
            const auto index = SettingListIndex(value, kListCount, -1);
            if (!index)
                return s;
            s.portIndex = *index;
        } else if (line.key == SettingKey::Mode) {
            if (value == u"Free")
                s.mode = SendMode::Free;
            else if (value == u"Time")
                s.mode = SendMode::Time;
            else if (value == u"File")
                s.mode = SendMode::File;
        } else if (line.key == SettingKey::ComPath) {
            s.portMap[line.slot] = value;
        } else if (line.key == SettingKey::Lastcmd) {
            s.recent[line.slot].text = value;
        } else if (line.key == SettingKey::Lastcmddisp || line.key == SettingKey::Lastcmdhex) {
            (line.key == SettingKey::Lastcmddisp ? s.recent[line.slot].disp : s.recent[line.slot].hex)
                = SettingMemory(value);
        } else if (QString* text = TextField(s, line.key)) {
            *text = value;
        } else if (double* memory = MemoryField(s, line.key)) {
            *memory = SettingMemory(value);
        } else {
            for (const IntField& f : kIntFields) {
                if (f.key != line.key)
                    continue;
                const auto number = f.checkBox ? SettingCheckState(value) : SettingListIndex(value, kListCount);
                if (!number)
                    return s;
                s.*f.field = *number;
            }
        }
    }
    return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QList<SettingLine> lines = ParseSettings(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    for (const SettingLine& line : lines) {
        FUZZ_CHECK(!line.value.contains(u'\n'));
        CheckHelpers(line.value);
    }
    // A recent command with no remembered state is written with empty states, which read back as
    // 0; from the file that Durnix wrote on, what it reads it writes again byte for byte.
    const QByteArray first = WriteSettings(Apply(lines));
    const QByteArray written = WriteSettings(Apply(ParseSettings(first)));
    const QList<SettingLine> readBack = ParseSettings(written);
    FUZZ_CHECK(readBack.size() == written.count("\r\n"));
    FUZZ_CHECK(WriteSettings(Apply(readBack)) == written);
    return 0;
}
