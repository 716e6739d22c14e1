#pragma once

#include <QByteArrayView>
#include <optional>

// Every key the settings file knows, in the order the writer writes them; ComPath stands for the
// "COMn=<path>" lines that give a port its device.
enum class SettingKey {
    WindowLeft,
    WindowTop,
    WindowWidth,
    WindowHeight,
    Port,
    Baud,
    Bits,
    Par,
    Stop,
    Prot,
    Addr,
    Repeat,
    DTR,
    RTS,
    AutoRTS,
    Mode,
    Filename,
    RepeatON,
    Time,
    Hex,
    Disp,
    AA,
    Chars,
    Noscroll,
    Modefreedisp,
    Modetimedisp,
    Modefiledisp,
    Lastcmd,
    Lastcmddisp,
    Lastcmdhex,
    Output,
    LowLatency,
    TrafficLeft,
    TrafficTop,
    TrafficWidth,
    TrafficHeight,
    ComPath
};

// The key as the file spells it; for the numbered keys, the text before the number.
QByteArrayView SettingKeyName(SettingKey key);

// The key whose whole name is `name`, among the keys that carry no number.
std::optional<SettingKey> FixedSettingKey(QByteArrayView name);
