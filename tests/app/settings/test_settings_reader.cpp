#include "app/settings/settings_reader.h"

#include <gtest/gtest.h>

namespace {

struct ExpectedLine {
    SettingKey key;
    int slot;
    QString value;
};

void ExpectLines(const QByteArray& file, const QList<ExpectedLine>& expected)
{
    const QList<SettingLine> lines = ParseSettings(file);
    ASSERT_EQ(lines.size(), expected.size()) << file.toStdString();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].key, expected[i].key) << file.toStdString() << " line " << i;
        EXPECT_EQ(lines[i].slot, expected[i].slot) << file.toStdString() << " line " << i;
        EXPECT_EQ(lines[i].value, expected[i].value) << file.toStdString() << " line " << i;
    }
}

} // namespace

TEST(SettingsReader, KeysAreMatchedExactlyAndValuesKeepEverythingAfterTheFirstEquals)
{
    const struct {
        QByteArray file;
        QList<ExpectedLine> expected;
    } cases[] = {
        { "Port= 3 \r\nBaud= 5 \r\n", { { SettingKey::Port, 0, " 3 " }, { SettingKey::Baud, 0, " 5 " } } },
        { "Port= 3 \nAddr=7\n", { { SettingKey::Port, 0, " 3 " }, { SettingKey::Addr, 0, "7" } } },
        { "Output=A=B, \"C\"\r\n", { { SettingKey::Output, 0, "A=B, \"C\"" } } },
        { "Output=last line without end", { { SettingKey::Output, 0, "last line without end" } } },
        { "Output=\r\n", { { SettingKey::Output, 0, "" } } },
        { "Output=a\rb\r\n", { { SettingKey::Output, 0, "a\rb" } } },
        { "Output=\xC4\x80\r\n", { { SettingKey::Output, 0, QString::fromUtf8("Ä€") } } },
        { "Time= 2 \r\nNoscroll= 1 \r\n",
            { { SettingKey::Time, 0, " 2 " }, { SettingKey::Noscroll, 0, " 1 " } } },
        { "port= 3 \r\nPort = 3\r\n Port=3\r\nPort 3\r\n=3\r\n\r\nLast=1\r\n", {} },
        { "COM1=/dev/ttyUSB0\r\nCOM16=/dev/a=b\r\n",
            { { SettingKey::ComPath, 1, "/dev/ttyUSB0" }, { SettingKey::ComPath, 16, "/dev/a=b" } } },
        { "COM0=x\r\nCOM17=x\r\nCOM01=x\r\nCOM=x\r\nCOM 1=x\r\nCOM1a=x\r\ncom1=x\r\nCOM100=x\r\n", {} },
    };
    for (const auto& c : cases)
        ExpectLines(c.file, c.expected);
}

TEST(SettingsReader, RecentCommandSlotIsTheNumberAfterTheKeyStart)
{
    const struct {
        QByteArray file;
        QList<ExpectedLine> expected;
    } cases[] = {
        { "Lastcmd=x\r\n", { { SettingKey::Lastcmd, 0, "x" } } },
        { "Lastcmd3=x\r\nLastcmd4=y\r\n",
            { { SettingKey::Lastcmd, 3, "x" }, { SettingKey::Lastcmd, 4, "y" } } },
        { "Lastcmddisp2=1\r\nLastcmdhex1=\r\n",
            { { SettingKey::Lastcmddisp, 2, "1" }, { SettingKey::Lastcmdhex, 1, "" } } },
        { "Lastcmddisp=-1\r\n", { { SettingKey::Lastcmddisp, 0, "-1" } } },
        { "Lastcmd 2 =x\r\n", { { SettingKey::Lastcmd, 2, "x" } } },
        { "Lastcmd2.5=x\r\nLastcmd3.5=y\r\n",
            { { SettingKey::Lastcmd, 2, "x" }, { SettingKey::Lastcmd, 4, "y" } } },
        { "Lastcmdxyz=x\r\n", { { SettingKey::Lastcmd, 0, "x" } } },
        { "Lastcmd7=x\r\nLastcmd-1=x\r\nLastcmd1 2=x\r\nLastcmd99=x\r\nLastcmd5=x\r\nLastcmd1e400=x\r\n",
            {} },
        { "Lastcm=d1\r\nlastcmd1=x\r\n", {} },
    };
    for (const auto& c : cases)
        ExpectLines(c.file, c.expected);
}

TEST(SettingsReader, ValueHelpersRefuseWhatMustStopTheReading)
{
    const struct {
        const char* name;
        std::optional<int> actual;
        std::optional<int> expected;
    } cases[] = {
        { "Port 3", SettingListIndex(" 3 ", 16, -1), 2 },
        { "Port 16", SettingListIndex(" 16 ", 16, -1), 15 },
        { "Port 17", SettingListIndex(" 17 ", 16, -1), std::nullopt },
        { "Port empty", SettingListIndex("", 16, -1), -1 },
        { "Port 0", SettingListIndex(" 0 ", 16, -1), -1 },
        { "Port -1", SettingListIndex("-1 ", 16, -1), std::nullopt },
        { "Baud letters", SettingListIndex("abc", 12), 0 },
        { "Baud typed speed", SettingListIndex("-1 ", 12), -1 },
        { "Baud 11.5 rounds to even", SettingListIndex("11.5", 12), std::nullopt },
        { "Baud 10.5 rounds to even", SettingListIndex("10.5", 12), 10 },
        { "Baud 1e400", SettingListIndex("1e400", 12), std::nullopt },
        { "Baud 65537 does not wrap", SettingListIndex("65537", 12), std::nullopt },
        { "state 0", SettingCheckState(" 0 "), 0 },
        { "state 2", SettingCheckState(" 2 "), 2 },
        { "state 7", SettingCheckState(" 7 "), std::nullopt },
        { "state -1", SettingCheckState("-1 "), std::nullopt },
        { "state empty", SettingCheckState(""), 0 },
        { "int16 max", SettingInt16("32767"), 32767 },
        { "int16 min", SettingInt16("-32768"), -32768 },
        { "int16 over", SettingInt16("32768"), std::nullopt },
        { "int16 1e400", SettingInt16("1e400"), std::nullopt },
        { "int16 -1e400", SettingInt16("-1e400"), std::nullopt },
        { "int16 hex", SettingInt16("&H10"), 16 },
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.actual, c.expected) << c.name;
    EXPECT_DOUBLE_EQ(SettingMemory(" 0.5 "), 0.5);
    EXPECT_DOUBLE_EQ(SettingMemory(""), 0);
}
