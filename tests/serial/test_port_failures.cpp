// Why a port would not open, in words the operator can act on.
#include "serial/port_error_text.h"
#include "serial/qt_serial_comm.h"
#include "row_names.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct TextCase {
    const char* name;
    PortFailure failure;
    const char* text;
    DURNIX_PRINTS_ITS_NAME(TextCase)
};


class PortFailureText : public testing::TestWithParam<TextCase> {};

PortFailure Failure(QSerialPort::SerialPortError error, const char* reason, PortFailure::When when,
    bool accessible = true, bool notADevice = false)
{
    return {"/d", error, reason, when, accessible, notADevice};
}

} // namespace

TEST_P(PortFailureText, NamesTheDeviceTheCauseAndTheSystemsOwnWords)
{
    EXPECT_EQ(PortErrorText(GetParam().failure), GetParam().text);
}

using E = QSerialPort::SerialPortError;
constexpr auto kOpening = PortFailure::Opening;
INSTANTIATE_TEST_SUITE_P(Serial, PortFailureText,
    testing::Values(TextCase {"NoSuchDevice", Failure(E::DeviceNotFoundError, "No such file", kOpening),
                        "/d: no such device (No such file)."},
        TextCase {"PermissionDenied", Failure(E::PermissionError, "Permission denied", kOpening, false),
            "/d: permission denied (Permission denied). On Linux, add your user to the dialout group."},
        TextCase {"Busy", Failure(E::PermissionError, "Locked", kOpening),
            "/d: the port is busy (Locked). It may be in use by another program."},
        TextCase {"NotATerminal", Failure(E::UnsupportedOperationError, "Inappropriate ioctl", kOpening),
            "/d: not a serial port (Inappropriate ioctl)."},
        TextCase {"AFolder", Failure(E::UnknownError, "Is a directory", kOpening, true, true),
            "/d: not a serial port (Is a directory)."},
        TextCase {"NoHardwareBehindTheNode", Failure(E::ResourceError, "Input/output error", kOpening),
            "/d: the device does not answer (Input/output error). There may be no serial port behind it."},
        TextCase {"Vanished", Failure(E::ResourceError, "stale", PortFailure::Lost),
            "/d: the device went away (unplugged, or closed at the other end); the port was closed."},
        TextCase {"RefusedSetting", Failure(E::UnsupportedOperationError, "Invalid argument", PortFailure::Operating),
            "/d: Invalid argument."}),
    ByName);

// Opening what is no serial port fails with its cause and is not taken for a
// device that went away: no lost-port event, so the window leaves its lamps.
TEST(QtSerialComm, AFailedOpenNamesItsCauseAndIsNoLostPort)
{
    QTemporaryDir folder;
    QFile regular(folder.filePath("plain.txt"));
    ASSERT_TRUE(regular.open(QIODevice::WriteOnly));
    const std::pair<QString, const char*> cases[] = {{folder.filePath("missing"), ": no such device ("},
        {regular.fileName(), ": not a serial port ("}, {folder.path(), ": not a serial port ("},
        {"/dev/null", ": not a serial port ("}};
    for (const auto& [path, words] : cases) {
        QtSerialComm comm(PortMap::FromSettingsBytes("COM1=" + path.toLocal8Bit()));
        QSignalSpy lost(&comm, &MSComm::portLost);
        EXPECT_FALSE(comm.setPortOpen(true));
        EXPECT_TRUE(comm.errorText().startsWith(path + words)) << comm.errorText().toStdString();
        EXPECT_EQ(lost.count(), 0) << path.toStdString();
        EXPECT_FALSE(comm.portOpen());
    }
}
