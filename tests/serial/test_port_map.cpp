#include "serial/port_map.h"

#include <gtest/gtest.h>

namespace {

TEST(PortMap, ReadsOnlyExactComKeysOfTheSettingsFile)
{
    const struct {
        QByteArray bytes;
        QMap<int, QString> entries;
    } cases[] = {
        { "COM1=/dev/ttyUSB0\r\nCOM16=/dev/serial/by-id/x\r\n",
            { { 1, "/dev/ttyUSB0" }, { 16, "/dev/serial/by-id/x" } } },
        { "COM2=/dev/ttyACM0\nBaud= 3 \nCOM3=/dev/a=b", { { 2, "/dev/ttyACM0" }, { 3, "/dev/a=b" } } },
        { "COM0=/dev/x\nCOM17=/dev/x\ncom1=/dev/x\n COM1=/dev/x\nCOM01=/dev/x\nCOM1 =/dev/x\nCOM1", {} },
        { "COM4=/dev/first\r\nCOM4=/dev/second\r\n", { { 4, "/dev/second" } } },
        { "COM4=/dev/x\nCOM4=\n", {} },
        { QByteArrayLiteral("COM5=/dev/caf\xE9\r\n"), { { 5, QString::fromUtf8("/dev/café") } } },
    };
    for (const auto& [bytes, entries] : cases)
        EXPECT_EQ(PortMap::FromSettingsBytes(bytes).Entries(), entries) << bytes.toStdString();
}

TEST(PortMap, PortsWithoutEntryUseTheNumberedTtyS)
{
    PortMap map = PortMap::FromSettingsBytes("COM3=/dev/ttyUSB1\r\n");
    EXPECT_EQ(map.DevicePath(1), "/dev/ttyS0");
    EXPECT_EQ(map.DevicePath(3), "/dev/ttyUSB1");
    EXPECT_EQ(map.DevicePath(16), "/dev/ttyS15");
    map.SetPath(17, "/dev/never");
    map.SetPath(3, "");
    EXPECT_EQ(map.DevicePath(3), "/dev/ttyS2");
    EXPECT_TRUE(map.Entries().isEmpty());
}

} // namespace
