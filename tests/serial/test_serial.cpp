#include "pty_pair.h"
#include "serial/line_poller.h"
#include "serial/port_settings.h"
#include "serial/qt_serial_comm.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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
    const PortMap com1 = PortMap::FromSettingsBytes("COM1=" + pty.SlavePath().toLocal8Bit());
    QtSerialComm comm(com1);
    comm.setSettings("19200,O,7,2");
    comm.setRThreshold(1);
    ASSERT_TRUE(comm.setPortOpen(true)) << comm.errorText().toStdString();
    EXPECT_FALSE(comm.setAutoRts(true)) << "no RS-485 on a pseudo-terminal";
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
        const PortMap com1 = PortMap::FromSettingsBytes("COM1=" + path.toLocal8Bit());
        QtSerialComm comm(com1);
        QSignalSpy lost(&comm, &MSComm::portLost);
        EXPECT_FALSE(comm.setPortOpen(true));
        EXPECT_TRUE(comm.errorText().startsWith(path + words)) << comm.errorText().toStdString();
        EXPECT_EQ(lost.count(), 0) << path.toStdString();
    }
}

// A tty driver behind the port's ioctl seam, on a pseudo-terminal for what Qt does itself. It may take
// the kernel's RS-485 mode (reading, setting), and may show a latency timer in a sysfs of the test's
// own, which the low-latency flag lowers to 1 ms and clearing it puts back to 16 ms.
struct FakeDriver {
    FakeDriver()
    {
        rs485.flags = SER_RS485_RTS_AFTER_SEND;
        rs485.delay_rts_before_send = 3;
    }
    int Ioctl(int fd, unsigned long request, void* argument)
    {
        errno = EPERM;
        if (request == TIOCGRS485 || request == TIOCSRS485) {
            const bool accepted = request == TIOCGRS485 ? rs485Get : rs485Set;
            if (accepted && request == TIOCGRS485)
                *static_cast<serial_rs485*>(argument) = rs485;
            else if (accepted)
                rs485 = *static_cast<serial_rs485*>(argument);
            return accepted ? 0 : -1;
        }
        if (request == TIOCGSERIAL)
            *static_cast<serial_struct*>(argument) = serial;
        if (request != TIOCSSERIAL)
            return request == TIOCGSERIAL ? 0 : ::ioctl(fd, request, argument);
        serialSets += 1;
        if (refuseFlag)
            return -1;
        serial = *static_cast<serial_struct*>(argument);
        if (lowers)
            SetTimer(serial.flags & ASYNC_LOW_LATENCY ? "1" : "16");
        return 0;
    }
    void SetTimer(const QByteArray& ms)
    {
        QFile file(timerPath);
        (void)(file.open(QIODevice::WriteOnly) && file.write(ms + "\n"));
    }
    QByteArray Timer() const
    {
        QFile file(timerPath);
        return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed() : QByteArray("none");
    }
    QtSerialComm* Comm(const PtyPair& pty, const char* timer)
    {
        const QString name = QFileInfo(pty.SlavePath()).fileName();
        timerPath = sysfs.filePath(name + "/device/latency_timer");
        if (timer && QDir(sysfs.path()).mkpath(name + "/device"))
            SetTimer(timer);
        com1 = PortMap::FromSettingsBytes("COM1=" + pty.SlavePath().toLocal8Bit());
        comm = std::make_unique<QtSerialComm>(
            com1,
            [this](int fd, unsigned long request, void* argument) { return Ioctl(fd, request, argument); },
            sysfs.path());
        return comm.get();
    }

    bool rs485Get = true, rs485Set = true, refuseFlag = false, lowers = true;
    serial_rs485 rs485 {};
    serial_struct serial {};
    int serialSets = 0;
    QTemporaryDir sysfs;
    QString timerPath;
    PortMap com1; // before the port that reads it
    std::unique_ptr<QtSerialComm> comm;
};

// Automatic RTS goes to a driver that takes the kernel's RS-485 mode, and the driver's own settings come back
// when it is switched off or the port closes; a driver that refuses either ioctl leaves RTS to the timer.
TEST(QtSerialComm, AutoRtsGoesToADriverThatTakesRs485AndItsSettingsComeBack)
{
    const std::tuple<const char*, bool, bool> drivers[] = { { "takes RS-485", true, true },
        { "has none", false, false }, { "reads but refuses", true, false } };
    const auto restored = [](const serial_rs485& rs485) {
        return rs485.flags == SER_RS485_RTS_AFTER_SEND && rs485.delay_rts_before_send == 3;
    };
    for (const auto& [name, get, set] : drivers) {
        SCOPED_TRACE(name);
        PtyPair pty;
        FakeDriver driver;
        driver.rs485Get = get, driver.rs485Set = set;
        QtSerialComm& comm = *driver.Comm(pty, nullptr);
        EXPECT_FALSE(comm.setAutoRts(true)) << "closed";
        ASSERT_TRUE(comm.setPortOpen(true));
        EXPECT_EQ(comm.rtsByDriver(), set);
        EXPECT_EQ(comm.portNotes(), set ? "; RTS by the driver" : "; RTS by a timer");
        EXPECT_EQ(
            driver.rs485.flags, set ? SER_RS485_ENABLED | SER_RS485_RTS_ON_SEND : SER_RS485_RTS_AFTER_SEND);
        EXPECT_EQ(driver.rs485.delay_rts_before_send, 3U);
        EXPECT_FALSE(comm.setAutoRts(false));
        EXPECT_TRUE(restored(driver.rs485) && !comm.rtsByDriver() && comm.portNotes().isEmpty());
        EXPECT_EQ(comm.setAutoRts(true), set);
        comm.setPortOpen(false);
        EXPECT_TRUE(restored(driver.rs485) && !comm.rtsByDriver()) << "closed";
    }
}

// The latency timer of a USB adapter's driver is named in the port's notes, lowered by the low-latency flag
// where the driver takes it, and a failure says what the user can do; close clears only a flag it set.
TEST(QtSerialComm, TheUsbLatencyTimerIsNamedAndLoweredWhereTheDriverLets)
{
    const QString hint = ": a udev rule with ATTR{latency_timer}=\"1\" for the adapter lowers it";
    struct Case {
        const char* name;
        const char* timer; // none: the driver shows no timer
        bool refuse, lowers, lowLatency;
        QString notes;
        int sets; // TIOCSSERIAL calls, at opening and closing
    };
    const Case cases[] = {
        { "lowers", "16", false, true, true, "; USB latency timer 1 ms (was 16 ms)", 2 },
        { "refuses the flag", "16", true, true, true,
            "; USB latency timer 16 ms; the driver refused low latency (Operation not permitted)" + hint, 1 },
        { "keeps its timer", "16", false, false, true,
            "; USB latency timer 16 ms; low latency did not lower it" + hint, 2 },
        { "LowLatency=0", "16", false, true, false, "; USB latency timer 16 ms", 0 },
        { "no timer", nullptr, false, true, true, "", 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PtyPair pty;
        FakeDriver driver;
        driver.refuseFlag = c.refuse, driver.lowers = c.lowers;
        QtSerialComm& comm = *driver.Comm(pty, c.timer);
        comm.setLowLatency(c.lowLatency);
        ASSERT_TRUE(comm.setPortOpen(true));
        EXPECT_EQ(comm.portNotes(), c.notes);
        comm.setPortOpen(false);
        EXPECT_EQ(driver.serialSets, c.sets);
        EXPECT_EQ(driver.Timer(), c.timer ? "16" : "none") << "as before opening";
        EXPECT_EQ(driver.serial.flags & ASYNC_LOW_LATENCY, 0);
    }
}
