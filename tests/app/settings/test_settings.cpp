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

// The window's round trip writes every row of a busy file; here is what it cannot show: values cut at a line
// break, what the file leaves out, empty remembered states, and no place, port or speed outside file mode.
TEST(SettingsWriter, CutsValuesAtALineBreakAndLeavesOutWhatItCannotWrite)
{
    SettingsSnapshot snapshot;
    snapshot.portIndex = snapshot.baudIndex = -1;
    snapshot.portMap = { { 3, "/dev/ttyUSB0" }, { 17, "/dev/never" } };
    snapshot.mode = SendMode::Time;
    snapshot.fileName = "/op/cmds";
    snapshot.recent[1].text = "\rX"; // empty before its line break: left out
    snapshot.recent[2] = { "A=B, \"C\"\r\nPort= 17 ", std::nullopt, std::nullopt };
    snapshot.output = QString::fromUtf8("TEMP=€\nLastcmd0=forged");
    const QByteArray expected
        = "Port= 0 \r\nCOM3=/dev/ttyUSB0\r\nBaud=-1 \r\nBits= 3 \r\nPar= 0 \r\nStop= 0 \r\n"
          "Prot= 0 \r\nAddr=\r\nRepeat=\r\nDTR= 1 \r\nRTS= 0 \r\nAutoRTS= 0 \r\nMode=Time\r\n"
          "Time= 0 \r\nHex= 0 \r\nDisp= 0 \r\nAA= 0 \r\nChars=\r\nNoscroll= 0 \r\n"
          "Modefreedisp= 0 \r\nModetimedisp= 1 \r\nModefiledisp=-1 \r\n"
          "Lastcmd2=A=B, \"C\"\r\nLastcmddisp2=\r\nLastcmdhex2=\r\nOutput=TEMP=\x80\r\nLowLatency= 1 \r\n";
    EXPECT_EQ(WriteSettings(snapshot), expected);
}

// A recent-command slot is the number after the key's name, rounded; lines for a slot outside 0 to 4 are left
// out and the reading goes on. A bare LF ends a line as CR LF does; a CR alone does not.
TEST(SettingsReader, RecentSlotsOutsideZeroToFourAreLeftOutAndABareLineFeedEndsALine)
{
    const QByteArray file = "Lastcmd5=a\nLastcmd-1=b\r\nLastcmddisp7=1\nLastcmdhex-0.6=1\nLastcmd4.6=c\n"
                            "Lastcmd1e400=d\nLastcmd=e\nLastcmd4.5=f\nLastcmddisp-0.5=1\nLastcmdhex4=0\n"
                            "Port= 3 \nOutput=x\ry";
    QStringList lines; // as "Key[slot]=value"
    for (const SettingLine& line : ParseSettings(file))
        lines << QString::fromLatin1(SettingKeyName(line.key)) + QString("[%1]=").arg(line.slot) + line.value;
    EXPECT_EQ(lines.join('|'),
        QString("Lastcmd[0]=e|Lastcmd[4]=f|Lastcmddisp[0]=1|Lastcmdhex[4]=0|Port[0]= 3 |Output[0]=x\ry"));
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
        { "second screen unplugged", { 2300, 50, 391, 444 }, { left }, { 1529, 50, 391, 444 } },
        { "above the desktop", { 100, -600, 391, 444 }, { left }, { 100, 0, 391, 444 } },
        { "enough of the title bar to grab", { 1860, 100, 391, 444 }, { left }, { 1860, 100, 391, 444 } },
        { "a sliver too thin to grab", { 1880, 100, 391, 444 }, { left }, { 1529, 100, 391, 444 } },
        { "larger than the screen", { -5000, 0, 3000, 2000 }, { left }, { 0, 0, 1920, 1040 } },
        { "nearest of two", { 4000, 500, 391, 444 }, { left, right }, { 2809, 500, 391, 444 } },
        { "no screens known", { -5000, 0, 391, 444 }, {}, { -5000, 0, 391, 444 } },
    };
    for (const auto& [name, window, screens, placed] : cases)
        EXPECT_EQ(PlaceOnScreens(window, screens), placed) << name;
}

TEST(WindowPlacement, TheFrameIsKnownByATitleBarOrABorderAlone)
{
    const std::pair<QSize, bool> cases[]
        = { { { 0, 0 }, false }, { { 0, 24 }, true }, { { 4, 0 }, true }, { { 4, 28 }, true } };
    for (const auto& [decoration, known] : cases)
        EXPECT_EQ(FrameIsKnown(decoration), known) << decoration.width() << 'x' << decoration.height();
}
