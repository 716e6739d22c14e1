#include "pty_pair.h"
#include "serial/line_poller.h"
#include "serial/port_settings.h"
#include "serial/qt_serial_comm.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <linux/serial.h>
#include <sys/ioctl.h>

TEST(PortSettings, AcceptsOnlyTextsThePortCanTake)
{
    using P = PortParity;
    const std::pair<const char*, PortSettings> valid[] = { { "19200,O,7,2", { 19200, P::Odd, 7, 2 } },
        { "4800,e,5,1", { 4800, P::Even, 5, 1 } }, { "110,S,6,2", { 110, P::Space, 6, 2 } },
        { "1,m,8,1", { 1, P::Mark, 8, 1 } }, { "2147483647,N,8,1", { 2147483647, P::None, 8, 1 } } };
    for (const auto& [text, settings] : valid)
        EXPECT_EQ(ParsePortSettings(QString::fromLatin1(text)), settings) << text;
    for (const char* text :
        { ",N,8,1", "9600,N,8", "9600,N,8,1,", "0,N,8,1", "+9600,N,8,1", "2147483648,N,8,1", "9600,X,8,1",
            "9600,NO,8,1", "9600,N,4,1", "9600,N,9,1", "9600,N,08,1", "9600,N,8,0", "9600,N,8,3" })
        EXPECT_EQ(ParsePortSettings(QString::fromLatin1(text)), std::nullopt) << text;
}

TEST(PortMap, ReadsOnlyExactComKeysAndOtherwiseUsesTheNumberedTtyS)
{
    PortMap map = PortMap::FromSettingsBytes(
        "COM1=/dev/ttyUSB0\r\nBaud= 3 \nCOM16=/dev/a=b\nCOM5=/dev/caf\xE9\r\n"
        "COM0=/dev/x\nCOM17=/dev/x\ncom1=/dev/x\n COM1=/dev/x\nCOM01=/dev/x\nCOM1 =/dev/x\n"
        "COM4=/dev/first\r\nCOM4=/dev/second\r\nCOM6=/dev/x\nCOM6=\nCOM1");
    EXPECT_EQ(map.Entries(),
        (QMap<int, QString> {
            { 1, "/dev/ttyUSB0" }, { 4, "/dev/second" }, { 5, "/dev/café" }, { 16, "/dev/a=b" } }));
    map.SetPath(17, "/dev/never");
    map.SetPath(1, "");
    EXPECT_EQ(map.DevicePath(1), "/dev/ttyS0");
    EXPECT_EQ(map.Entries().size(), 3);
}

TEST(LineChangeDetector, RaisesWhatChangedOnceInTheOrderLinesRingErrors)
{
    const LineReading counted { .ringCount = 5, .frameCount = 5, .parityCount = 5 };
    const LineReading all { true, true, true, 0, 2, 0, 1, 1, 1 };
    LineChangeDetector detector;
    detector.Feed(counted);
    EXPECT_TRUE(detector.Feed({}).isEmpty()) << "counters that fell";
    EXPECT_EQ(detector.Feed({ .dsrCount = 2 }), QList<int> { MSComm::comEvDSR }) << "a pulse";
    EXPECT_EQ(detector.Feed(all),
        QList<int>({ MSComm::comEvCTS, MSComm::comEvDSR, MSComm::comEvCD, MSComm::comEvRing,
            MSComm::comEventFrame, MSComm::comEventRxParity }));
    detector.Reset();
    EXPECT_TRUE(detector.Feed(counted).isEmpty()) << "first reading after Reset";
}

// The line poller on a device of the test's own, behind its ioctl. Some drivers lack the event counters:
// their states are still watched, but a ring is seen only where the driver counts it.
TEST(LinePoller, WatchesTheLineStatesEvenWithoutTheEventCounters)
{
    int status = TIOCM_CTS | TIOCM_CD;
    bool counters = false;
    serial_icounter_struct aRing {};
    aRing.rng = 1;
    LinePoller poller([&](int, unsigned long request, void* argument) {
        if (request == TIOCMGET)
            *static_cast<int*>(argument) = status;
        else if (counters)
            *static_cast<serial_icounter_struct*>(argument) = aRing;
        return request == TIOCMGET || counters ? 0 : -1;
    });
    QSignalSpy events(&poller, &LinePoller::lineEvent);
    poller.Start(3);
    status = TIOCM_CTS | TIOCM_DSR;
    ASSERT_TRUE(events.wait(1000));
    EXPECT_EQ(events, (QList<QVariantList> { { MSComm::comEvDSR }, { MSComm::comEvCD } }));
    EXPECT_TRUE(poller.Read()->cts && poller.Read()->dsr && !poller.Read()->dcd);
    events.clear();
    counters = true;
    ASSERT_TRUE(events.wait(1000));
    EXPECT_EQ(events.first(), QVariantList { MSComm::comEvRing });
}

// COM1 on a fresh pseudo-terminal, which keeps speed, stop bits and the odd and mark flags of parity, nothing
// else. Settings reach it at opening and while open; unread input can be discarded; bytes pass unchanged.
TEST(QtSerialComm, OnAPseudoTerminalSettingsReachTheDeviceAndEveryByteValuePassesBothWays)
{
    PtyPair pty;
    QtSerialComm comm(PortMap::FromSettingsBytes("COM1=" + pty.SlavePath().toLocal8Bit()));
    comm.setSettings("19200,O,7,2");
    comm.setRThreshold(1);
    ASSERT_TRUE(comm.setPortOpen(true)) << comm.errorText().toStdString();
    const std::tuple<const char*, speed_t, tcflag_t> cases[] = { { "", B19200, PARODD | CSTOPB },
        { "115200,M,8,2", B115200, PARODD | CMSPAR | CSTOPB }, { "300,S,8,1", B300, CMSPAR } };
    for (const auto& [text, speed, flags] : cases) {
        EXPECT_TRUE(!*text || comm.setSettings(text)) << text;
        termios attributes {};
        ::tcgetattr(pty.slave, &attributes);
        EXPECT_EQ(cfgetospeed(&attributes), speed) << text;
        EXPECT_EQ(attributes.c_cflag & (PARODD | CMSPAR | CSTOPB), flags) << text;
    }
    const auto receive = [&comm](qsizetype count, QByteArray got = {}) {
        (void)QTest::qWaitFor([&] { return (got += comm.input()).size() >= count; }, 5000);
        return got;
    };
    pty.Write("fetched by Qt");
    ASSERT_TRUE(QTest::qWaitFor([&] { return comm.commEvent() == MSComm::comEvReceive; }, 5000));
    pty.Write("still in the driver");
    comm.setInBufferCount(0);
    pty.Write("new");
    EXPECT_EQ(receive(3), "new");
    QByteArray all(256, 0);
    for (int value = 0; value < 256; ++value)
        all[value] = char(value);
    ASSERT_TRUE(comm.setOutput(all));
    EXPECT_EQ(pty.Read(all.size()), all) << "flushed to the driver at once";
    pty.Write(all);
    EXPECT_EQ(receive(all.size()), all);
}

// Why a port would not open, in words the operator can act on: causes that a test cannot bring about on a
// device of its own, and the hints; the failed opens below show the others on real files.
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

// Opening what is no serial port fails with its cause and is not taken for a device that went away: no
// lost-port event, so the window leaves its lamps.
TEST(QtSerialComm, AFailedOpenNamesItsCauseAndIsNoLostPort)
{
    QTemporaryDir folder;
    const std::pair<QString, const char*> cases[] = { { folder.filePath("missing"), ": no such device (" },
        { folder.path(), ": not a serial port (" }, { "/dev/null", ": not a serial port (" } };
    for (const auto& [path, words] : cases) {
        QtSerialComm comm(PortMap::FromSettingsBytes("COM1=" + path.toLocal8Bit()));
        QSignalSpy lost(&comm, &MSComm::portLost);
        EXPECT_FALSE(comm.setPortOpen(true));
        EXPECT_TRUE(comm.errorText().startsWith(path + words)) << comm.errorText().toStdString();
        EXPECT_EQ(lost.count(), 0) << path.toStdString();
    }
}
