#include "app/settings/settings_reader.h"
#include "app/settings/settings_writer.h"
#include "app/settings/window_placement.h"

#include <QDir>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

// Writes beyond `bytes` fail with EFBIG while it lives: a write failure even root cannot bypass.
struct FileSizeLimit {
    rlimit saved {};
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &saved);
        const rlimit limit { bytes, saved.rlim_max };
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved); }
};

TEST(SettingsWriter, WritesEveryRowInOrderWithItsValueForm)
{
    SettingsSnapshot snapshot;
    snapshot.window = QRect(1200, -45, 6000, 7500);
    snapshot.portIndex = 2;
    snapshot.portMap = { { 3, "/dev/ttyUSB0" }, { 1, "/dev/serial/by-id/usb-x" }, { 17, "/dev/never" } };
    snapshot.mode = SendMode::File;
    snapshot.fileName = "/op/cmds";
    snapshot.modeFreeDisp = 0.5;
    snapshot.recent[0] = { "DISP HELLO", 1.0, 0.0 };
    snapshot.recent[1].text = "\rX"; // empty before its line break: left out
    snapshot.recent[2] = { "A=B, \"C\"\r\nPort= 17 ", std::nullopt, std::nullopt };
    snapshot.output = QString::fromUtf8("TEMP=€ Ä\nLastcmd0=forged");
    const QByteArray expected
        = "WindowLeft= 1200 \r\nWindowTop=-45 \r\nWindowWidth= 6000 \r\nWindowHeight= 7500 \r\n"
          "Port= 3 \r\nCOM1=/dev/serial/by-id/usb-x\r\nCOM3=/dev/ttyUSB0\r\n"
          "Baud= 4 \r\nBits= 3 \r\nPar= 0 \r\nStop= 0 \r\nProt= 0 \r\nAddr=\r\nRepeat=\r\n"
          "DTR= 1 \r\nRTS= 0 \r\nAutoRTS= 0 \r\nMode=File\r\nFilename=/op/cmds\r\n"
          "RepeatON= 0 \r\nTime= 0 \r\nHex= 0 \r\nDisp= 0 \r\nAA= 0 \r\nChars=\r\nNoscroll= 0 \r\n"
          "Modefreedisp= 0.5 \r\nModetimedisp= 1 \r\nModefiledisp=-1 \r\n"
          "Lastcmd0=DISP HELLO\r\nLastcmddisp0=1\r\nLastcmdhex0=0\r\nLastcmd2=A=B, \"C\"\r\n"
          "Lastcmddisp2=\r\nLastcmdhex2=\r\nOutput=TEMP=\x80 \xC4\r\n";
    EXPECT_EQ(WriteSettings(snapshot), expected);
    EXPECT_EQ(ParseSettings(expected).size(), expected.count("\r\n")) << "every line reads back";

    // Not in the normal state, no port, a typed speed, and not in file mode.
    snapshot.window.reset();
    snapshot.portIndex = snapshot.baudIndex = -1;
    snapshot.mode = SendMode::Time;
    QByteArray other = expected.mid(expected.indexOf("Port="));
    other.replace("Port= 3 ", "Port= 0 ").replace("Baud= 4 ", "Baud=-1 ");
    EXPECT_EQ(WriteSettings(snapshot), other.replace("File\r\nFilename=/op/cmds\r\nRepeatON= 0 ", "Time"));
}

TEST(SettingsReader, KeysAndSlotsMatchExactlyAndValuesKeepEverythingAfterTheFirstEquals)
{
    const std::pair<QByteArray, const char*> cases[] = {
        { "Port= 3 \r\nAddr=7\nOutput=A=B, \"C\"\r\nTime=",
            "Port[0]= 3 |Addr[0]=7|Output[0]=A=B, \"C\"|Time[0]=" },
        { "Output=a\rb\r\nOutput=\xC4\x80", "Output[0]=a\rb|Output[0]=Ä€" },
        { "port= 3 \r\nPort = 3\r\n Port=3\r\nPort 3\r\n=3\r\n\r\nLast=1\r\n", "" },
        { "COM1=/dev/ttyUSB0\r\nCOM16=/dev/a=b\r\n", "COM[1]=/dev/ttyUSB0|COM[16]=/dev/a=b" },
        { "COM0=x\r\nCOM17=x\r\nCOM01=x\r\nCOM=x\r\nCOM 1=x\r\nCOM1a=x\r\ncom1=x\r\n", "" },
        { "Lastcmd=a\r\nLastcmd4=b\r\nLastcmddisp2=1\r\nLastcmdhex1=\r\n",
            "Lastcmd[0]=a|Lastcmd[4]=b|Lastcmddisp[2]=1|Lastcmdhex[1]=" },
        { "Lastcmd 2 =a\r\nLastcmd2.5=b\r\nLastcmd3.5=c\r\nLastcmdxyz=d\r\n",
            "Lastcmd[2]=a|Lastcmd[2]=b|Lastcmd[4]=c|Lastcmd[0]=d" },
        { "Lastcmd5=x\r\nLastcmd-1=x\r\nLastcmd1 2=x\r\nLastcmd1e400=x\r\nLastcm=d1\r\nlastcmd1=x\r\n", "" },
    };
    for (const auto& [file, expected] : cases) {
        QStringList lines; // as "Key[slot]=value"
        for (const SettingLine& l : ParseSettings(file))
            lines << QString::fromLatin1(SettingKeyName(l.key)) + QString("[%1]=").arg(l.slot) + l.value;
        EXPECT_EQ(lines.join('|'), QString::fromUtf8(expected)) << file.toStdString();
    }
}

TEST(SettingsReader, ValueHelpersRefuseWhatMustStopTheReading)
{
    constexpr auto none = std::nullopt;
    const std::pair<std::optional<int>, std::optional<int>> cases[]
        = { { SettingListIndex(" 16 ", 16, -1), 15 }, { SettingListIndex(" 17 ", 16, -1), none },
              { SettingListIndex("", 16, -1), -1 }, { SettingListIndex("-1 ", 16, -1), none },
              { SettingListIndex("-1 ", 12), -1 }, { SettingListIndex("10.5", 12), 10 },
              { SettingListIndex("11.5", 12), none }, { SettingListIndex("65537", 12), none },
              { SettingCheckState(" 2 "), 2 }, { SettingCheckState(" 3 "), none },
              { SettingCheckState("-1 "), none }, { SettingTwips(" 34500 "), 34500 },
              { SettingTwips("-1e400"), -1000000000 }, { SettingTwips("x"), 0 } };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(cases[i].first, cases[i].second) << "case " << i;
    EXPECT_DOUBLE_EQ(SettingMemory(" 0.5 "), 0.5);
}

TEST(SettingsFile, ReadsOnlyARegularFileOfOurSizeAndAFailedSaveLeavesThePreviousFileWhole)
{
    QTemporaryDir dir, device;
    ASSERT_TRUE(SaveSettingsFile(dir.path(), "Port= 5 \r\n")
        && QFile::rename(dir.filePath("durnix.ini"), dir.filePath("Durnix.ini")));
    EXPECT_EQ(ReadSettingsFile(dir.path()), QByteArray("Port= 5 \r\n")) << "capitalised name when alone";
    ASSERT_TRUE(SaveSettingsFile(dir.path(), "Port= 6 \r\n") && QFile::exists(dir.filePath("durnix.ini")));
    EXPECT_EQ(ReadSettingsFile(dir.path()), QByteArray("Port= 6 \r\n"));
    {
        const FileSizeLimit limit(64);
        EXPECT_FALSE(SaveSettingsFile(dir.path(), QByteArray(4096, 'x')));
    }
    EXPECT_EQ(ReadSettingsFile(dir.path()), QByteArray("Port= 6 \r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2) << "no temporary left";

    ASSERT_TRUE(QDir(device.path()).mkdir("durnix.ini"));
    EXPECT_EQ(ReadSettingsFile(device.path()), std::nullopt);
    EXPECT_FALSE(SaveSettingsFile(device.path(), "Port= 6 \r\n"));
    EXPECT_TRUE(QFileInfo(device.filePath("durnix.ini")).isDir()
        && QDir(device.path()).entryList(QDir::Files | QDir::Hidden).isEmpty())
        << "a folder in its place is left alone";
    ASSERT_TRUE(
        QDir(device.path()).rmdir("durnix.ini") && QFile::link("/dev/null", device.filePath("durnix.ini")));
    EXPECT_EQ(ReadSettingsFile(device.path()), std::nullopt)
        << "a device reads as no file, not as an empty one";
    ASSERT_TRUE(QFile(dir.filePath("durnix.ini")).resize(100 * 1024 * 1024)); // sparse, far beyond ours
    EXPECT_EQ(ReadSettingsFile(dir.path()), std::nullopt);
}

// A window restored from durnix.ini onto the screens there are now.
TEST(WindowPlacement, AWindowNoScreenShowsComesBackOntoTheNearestScreen)
{
    const QRect left(0, 0, 1920, 1040), right(1920, 0, 1280, 984);
    const std::tuple<const char*, QRect, QList<QRect>, QRect> cases[] = {
        { "on its screen", { 100, 100, 391, 444 }, { left }, { 100, 100, 391, 444 } },
        { "on the second screen", { 2300, 50, 391, 444 }, { left, right }, { 2300, 50, 391, 444 } },
        { "second screen unplugged", { 2300, 50, 391, 444 }, { left }, { 1529, 50, 391, 444 } },
        { "above the desktop", { 100, -600, 391, 444 }, { left }, { 100, 0, 391, 444 } },
        { "title bar just off the top", { 100, -10, 391, 444 }, { left }, { 100, 0, 391, 444 } },
        { "enough of the title bar to grab", { 1860, 100, 391, 444 }, { left }, { 1860, 100, 391, 444 } },
        { "a sliver too thin to grab", { 1880, 100, 391, 444 }, { left }, { 1529, 100, 391, 444 } },
        { "larger than the screen", { -5000, 0, 3000, 2000 }, { left }, { 0, 0, 1920, 1040 } },
        { "nearest of two", { 4000, 500, 391, 444 }, { left, right }, { 2809, 500, 391, 444 } },
        { "no screens known", { -5000, 0, 391, 444 }, {}, { -5000, 0, 391, 444 } },
    };
    for (const auto& [name, window, screens, placed] : cases)
        EXPECT_EQ(PlaceOnScreens(window, screens), placed) << name;
}
