// Why a port would not open, in words the operator can act on.
#include "pty_pair.h"
#include "serial/port_error_text.h"
#include "serial/qt_serial_comm.h"

#include <QFile>
#include <QLockFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Causes that a test cannot bring about on a device of its own, and the hints; the failed opens below show
// the others on real files.
TEST(PortErrorText, NamesTheDeviceTheCauseAndTheSystemsOwnWords)
{
    using E = QSerialPort::SerialPortError;
    const std::tuple<E, const char*, PortFailure::When, bool, const char*> cases[] = {
        { E::PermissionError, "Permission denied", PortFailure::Opening, false,
            "/d: permission denied (Permission denied). On Linux, add your user to the dialout group." },
        { E::PermissionError, "Locked", PortFailure::Opening, true,
            "/d: the port is busy (Locked). It may be in use by another program." },
        { E::ResourceError, "Input/output error", PortFailure::Opening, true,
            "/d: the device does not answer (Input/output error). There may be no serial port behind it." },
        { E::ResourceError, "stale", PortFailure::Lost, true,
            "/d: the device went away (unplugged, or closed at the other end); the port was closed." },
        { E::UnknownError, "Invalid argument", PortFailure::Operating, true, "/d: Invalid argument." }
    };
    for (const auto& [error, reason, when, accessible, text] : cases)
        EXPECT_EQ(PortErrorText({ "/d", error, reason, when, accessible }), text);
}

// Opening what is no serial port, or one that another program has locked, fails with its cause and is not
// taken for a device that went away: no lost-port event, so the window leaves its lamps.
TEST(QtSerialComm, AFailedOpenNamesItsCauseAndIsNoLostPort)
{
    QTemporaryDir folder;
    QFile regular(folder.filePath("plain.txt"));
    ASSERT_TRUE(regular.open(QIODevice::WriteOnly));
    // The lock is held by this process, which is as alive as any other program.
    PtyPair pty;
    const QString locked = folder.filePath("ttyLOCKED");
    ASSERT_TRUE(QFile::link(pty.SlavePath(), locked));
    QLockFile lock("/var/lock/LCK.." + QString(locked).replace('/', '_')); // as Qt names it outside /dev
    ASSERT_TRUE(lock.tryLock()) << "needs a writable /var/lock for serial port lock files";
    const std::pair<QString, const char*> cases[] = { { folder.filePath("missing"), ": no such device (" },
        { regular.fileName(), ": not a serial port (" }, { folder.path(), ": not a serial port (" },
        { "/dev/null", ": not a serial port (" }, { locked, ": the port is busy (" } };
    for (const auto& [path, words] : cases) {
        QtSerialComm comm(PortMap::FromSettingsBytes("COM1=" + path.toLocal8Bit()));
        QSignalSpy lost(&comm, &MSComm::portLost);
        EXPECT_FALSE(comm.setPortOpen(true));
        EXPECT_TRUE(comm.errorText().startsWith(path + words)) << comm.errorText().toStdString();
        EXPECT_EQ(lost.count(), 0) << path.toStdString();
    }
}
