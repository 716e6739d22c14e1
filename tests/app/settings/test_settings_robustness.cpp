#include "app/settings/settings_reader.h"
#include "app/settings/settings_writer.h"

#include <QRandomGenerator>
#include <cmath>
#include <gtest/gtest.h>

namespace {

// A well-formed file with a few bytes overwritten, inserted or cut out.
QByteArray Mutated(const QByteArray& file, QRandomGenerator& random)
{
    QByteArray bytes = file;
    const int edits = random.bounded(1, 12);
    for (int i = 0; i < edits; ++i) {
        const qsizetype at = random.bounded(bytes.size() + 1);
        const char byte = char(random.bounded(256));
        switch (random.bounded(3)) {
        case 0:
            bytes.insert(at, byte);
            break;
        case 1:
            bytes.remove(at, random.bounded(1, 20));
            break;
        default:
            if (at < bytes.size())
                bytes[at] = byte;
        }
    }
    return bytes;
}

QByteArray SampleFile()
{
    SettingsSnapshot snapshot;
    snapshot.window = QRect(100, 200, 6000, 7000);
    snapshot.mode = SendMode::File;
    snapshot.portMap = { { 2, "/dev/ttyUSB1" } };
    snapshot.recent[0] = { "01 02 FF", 1.0, 1.0 };
    snapshot.recent[4] = { "DISP 1e400", -1.0, std::nullopt };
    snapshot.output = "&H7FFF";
    return WriteSettings(snapshot) + "Lastcmd1e400=x\nPort=-1e400\nCOM99=x\n";
}

// The helpers may refuse a value but never hand out one outside their range.
bool IsSane(const SettingLine& line)
{
    const auto index = SettingListIndex(line.value, 16, -1);
    const auto state = SettingCheckState(line.value);
    const auto number = SettingInt16(line.value);
    return (!index || (*index >= -1 && *index < 16)) && (!state || (*state >= 0 && *state <= 2))
        && (!number || (*number >= -32768 && *number <= 32767)) && !std::isnan(SettingMemory(line.value));
}

} // namespace

TEST(SettingsRobustness, MutatedAndRandomFilesNeverBreakTheReader)
{
    QRandomGenerator random(20240611);
    const QByteArray sample = SampleFile();
    for (int round = 0; round < 3000; ++round) {
        const QByteArray file = Mutated(sample, random);
        for (const SettingLine& line : ParseSettings(file))
            ASSERT_TRUE(IsSane(line)) << file.toStdString();
    }

    QByteArray noise(4 * 1024 * 1024, '\0');
    random.fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
    const QList<SettingLine> lines = ParseSettings(noise + "\nOutput=end");
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.back().value, "end");
}
