#include "serial/port_error_text.h"

#include <gtest/gtest.h>

namespace {

TEST(PortErrorText, NamesTheDeviceTheReasonAndAHint)
{
    const struct {
        PortFailure failure;
        QString text;
    } cases[] = {
        { { "/dev/ttyS3", QSerialPort::DeviceNotFoundError, "No such file or directory", false },
            "/dev/ttyS3: no such device." },
        { { "/dev/ttyUSB0", QSerialPort::PermissionError, "Permission denied", false },
            "/dev/ttyUSB0: permission denied. On Linux, add your user to the dialout group." },
        { { "/dev/ttyUSB0", QSerialPort::PermissionError, "Permission error while locking the device", true },
            "/dev/ttyUSB0: the port is busy; it may be in use by another program." },
        { { "/dev/ttyUSB1", QSerialPort::ReadError, "Input/output error", true },
            "/dev/ttyUSB1: the device has gone away (unplugged, or closed at the other end); the port was "
            "closed." },
        { { "/dev/ttyS1", QSerialPort::UnsupportedOperationError, "Invalid argument", true },
            "/dev/ttyS1: Invalid argument." },
    };
    for (const auto& [failure, text] : cases)
        EXPECT_EQ(PortErrorText(failure), text) << failure.error;
}

} // namespace
