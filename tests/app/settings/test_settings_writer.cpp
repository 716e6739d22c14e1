#include "app/settings/settings_reader.h"
#include "app/settings/settings_writer.h"

#include <gtest/gtest.h>

namespace {

SettingsSnapshot FileModeSnapshot()
{
    SettingsSnapshot snapshot;
    snapshot.window = QRect(1200, -45, 6000, 7500);
    snapshot.portIndex = 2;
    snapshot.portMap = { { 3, "/dev/ttyUSB0" }, { 1, "/dev/serial/by-id/usb-x" }, { 17, "/dev/never" } };
    snapshot.baudIndex = 11;
    snapshot.protIndex = 6;
    snapshot.addr = "12";
    snapshot.repeat = "0.5";
    snapshot.autoRts = 1;
    snapshot.mode = SendMode::File;
    snapshot.fileName = "/home/op/cmds.txt";
    snapshot.repeatOn = 1;
    snapshot.timeIndex = 4;
    snapshot.hex = 2;
    snapshot.chars = "16";
    snapshot.modeFreeDisp = 0.5;
    snapshot.recent[0] = { "DISP HELLO", 1.0, 0.0 };
    snapshot.recent[2] = { "A=B, \"C\"", std::nullopt, std::nullopt };
    snapshot.output = QString::fromUtf8("TEMP=€ Ä");
    return snapshot;
}

} // namespace

TEST(SettingsWriter, WritesEveryRowInOrderWithItsValueForm)
{
    const QByteArray expected = "WindowLeft= 1200 \r\n"
                                "WindowTop=-45 \r\n"
                                "WindowWidth= 6000 \r\n"
                                "WindowHeight= 7500 \r\n"
                                "Port= 3 \r\n"
                                "COM1=/dev/serial/by-id/usb-x\r\n"
                                "COM3=/dev/ttyUSB0\r\n"
                                "Baud= 11 \r\n"
                                "Bits= 3 \r\n"
                                "Par= 0 \r\n"
                                "Stop= 0 \r\n"
                                "Prot= 6 \r\n"
                                "Addr=12\r\n"
                                "Repeat=0.5\r\n"
                                "DTR= 1 \r\n"
                                "RTS= 0 \r\n"
                                "AutoRTS= 1 \r\n"
                                "Mode=File\r\n"
                                "Filename=/home/op/cmds.txt\r\n"
                                "RepeatON= 1 \r\n"
                                "Time= 4 \r\n"
                                "Hex= 2 \r\n"
                                "Disp= 0 \r\n"
                                "AA= 0 \r\n"
                                "Chars=16\r\n"
                                "Noscroll= 0 \r\n"
                                "Modefreedisp= 0.5 \r\n"
                                "Modetimedisp= 1 \r\n"
                                "Modefiledisp=-1 \r\n"
                                "Lastcmd0=DISP HELLO\r\n"
                                "Lastcmddisp0=1\r\n"
                                "Lastcmdhex0=0\r\n"
                                "Lastcmd2=A=B, \"C\"\r\n"
                                "Lastcmddisp2=\r\n"
                                "Lastcmdhex2=\r\n"
                                "Output=TEMP=\x80 \xC4\r\n";
    EXPECT_EQ(WriteSettings(FileModeSnapshot()), expected);
}

TEST(SettingsWriter, OnlyFileModeWritesFilenameAndRepeatOn)
{
    SettingsSnapshot snapshot = FileModeSnapshot();
    const struct {
        std::optional<SendMode> mode;
        const char* modeLine;
        bool fileLines;
    } cases[] = {
        { SendMode::Free, "\r\nMode=Free\r\nTime=", false },
        { SendMode::Time, "\r\nMode=Time\r\nTime=", false },
        { SendMode::File, "\r\nMode=File\r\nFilename=", true },
        { std::nullopt, "\r\nAutoRTS= 1 \r\nTime=", false },
    };
    for (const auto& c : cases) {
        snapshot.mode = c.mode;
        const QByteArray file = WriteSettings(snapshot);
        EXPECT_TRUE(file.contains(c.modeLine)) << c.modeLine;
        EXPECT_EQ(file.contains("Filename="), c.fileLines) << c.modeLine;
        EXPECT_EQ(file.contains("RepeatON="), c.fileLines) << c.modeLine;
    }
}

TEST(SettingsWriter, WindowNotInNormalStateWritesNoWindowKeys)
{
    SettingsSnapshot snapshot = FileModeSnapshot();
    snapshot.window.reset();
    EXPECT_TRUE(WriteSettings(snapshot).startsWith("Port= 3 \r\n"));
}

TEST(SettingsWriter, TypedSpeedAndNoPortAreWrittenAsNegativeAndZero)
{
    SettingsSnapshot snapshot;
    snapshot.portIndex = -1;
    snapshot.baudIndex = -1;
    const QByteArray file = WriteSettings(snapshot);
    EXPECT_TRUE(file.startsWith("Port= 0 \r\nBaud=-1 \r\n")) << file.toStdString();
}

TEST(SettingsWriter, TextEndsAtALineBreakSoItCannotForgeLines)
{
    SettingsSnapshot snapshot;
    snapshot.recent[1].text = "ABC\r\nPort= 17 ";
    snapshot.output = "XYZ\nLastcmd0=forged";
    const QByteArray file = WriteSettings(snapshot);
    EXPECT_TRUE(file.contains("\r\nLastcmd1=ABC\r\n"));
    EXPECT_TRUE(file.endsWith("\r\nOutput=XYZ\r\n"));
    EXPECT_FALSE(file.contains("17"));
    EXPECT_FALSE(file.contains("forged"));
}

TEST(SettingsWriter, EveryWrittenLineReadsBackWithItsValue)
{
    const QByteArray file = WriteSettings(FileModeSnapshot());
    QMap<std::pair<SettingKey, int>, QString> values;
    for (const SettingLine& line : ParseSettings(file))
        values.insert({ line.key, line.slot }, line.value);
    EXPECT_EQ(values.size(), file.count("\r\n")) << "every line read, no key twice";

    const struct {
        SettingKey key;
        int slot;
        double number;
    } numbers[] = {
        { SettingKey::WindowLeft, 0, 1200 },
        { SettingKey::WindowTop, 0, -45 },
        { SettingKey::Port, 0, 3 },
        { SettingKey::Baud, 0, 11 },
        { SettingKey::AutoRTS, 0, 1 },
        { SettingKey::RepeatON, 0, 1 },
        { SettingKey::Time, 0, 4 },
        { SettingKey::Hex, 0, 2 },
        { SettingKey::Modefreedisp, 0, 0.5 },
        { SettingKey::Modefiledisp, 0, -1 },
        { SettingKey::Lastcmddisp, 0, 1 },
        { SettingKey::Lastcmddisp, 2, 0 },
    };
    for (const auto& n : numbers)
        EXPECT_EQ(SettingMemory(values.value({ n.key, n.slot }, "99")), n.number) << int(n.key);

    const struct {
        SettingKey key;
        int slot;
        QString text;
    } texts[] = {
        { SettingKey::ComPath, 1, "/dev/serial/by-id/usb-x" },
        { SettingKey::Addr, 0, "12" },
        { SettingKey::Mode, 0, "File" },
        { SettingKey::Filename, 0, "/home/op/cmds.txt" },
        { SettingKey::Lastcmd, 2, "A=B, \"C\"" },
        { SettingKey::Lastcmdhex, 2, "" },
        { SettingKey::Output, 0, QString::fromUtf8("TEMP=€ Ä") },
    };
    for (const auto& t : texts)
        EXPECT_EQ(values.value({ t.key, t.slot }, "missing"), t.text) << int(t.key);
}

TEST(SettingsWriter, RecentTextEmptyBeforeItsLineBreakIsLeftOut)
{
    SettingsSnapshot snapshot;
    snapshot.recent[0].text = QStringLiteral("\rX");
    EXPECT_FALSE(WriteSettings(snapshot).contains("Lastcmd"));
}
