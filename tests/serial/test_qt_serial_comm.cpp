#include "pty_pair.h"
#include "serial/qt_serial_comm.h"

#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace {

PortMap MapOf(const QString& path)
{
    PortMap map;
    map.SetPath(1, path);
    return map;
}

// COM1 on a fresh pseudo-terminal, configured as the window does it; collects what it receives.
struct OpenPort {
    explicit OpenPort(const QString& settings = QStringLiteral("9600,N,8,1"))
        : comm(MapOf(pty.slavePath))
    {
        comm.setCommPort(1);
        comm.setHandshaking(0);
        comm.setSettings(settings);
        comm.setRThreshold(1);
        opened = comm.setPortOpen(true);
        QObject::connect(&comm, &MSComm::onComm, [this] {
            if (comm.commEvent() == MSComm::comEvReceive)
                received += comm.input();
        });
    }
    QByteArray Receive(qsizetype count)
    {
        // A timeout shows as a short answer in the caller's comparison.
        (void)QTest::qWaitFor([&] { return received.size() >= count; }, 5000);
        return std::exchange(received, {});
    }

    PtyPair pty;
    QtSerialComm comm;
    bool opened = false;
    QByteArray received;
};

double ProcessCpuSeconds()
{
    rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](timeval t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

TEST(QtSerialComm, OpensTheDeviceOfTheMapEntry)
{
    OpenPort port;
    ASSERT_TRUE(port.opened) << port.comm.errorText().toStdString();
    EXPECT_EQ(port.comm.DevicePath(), port.pty.slavePath);
    EXPECT_FALSE(port.comm.setPortOpen(true)) << "already open";
    EXPECT_TRUE(port.comm.setPortOpen(false));
    EXPECT_FALSE(port.comm.portOpen());
}

// A pseudo-terminal keeps speed, stop bits and the odd and mark flags of parity, but always
// reports eight bits without parity enable, so only those can be checked here.
TEST(QtSerialComm, SettingsReachTheDevice)
{
    const struct {
        const char *text, *changedWhileOpen;
        speed_t speed;
        tcflag_t parity, stop;
    } cases[] = {
        { "19200,O,7,2", nullptr, B19200, PARODD, CSTOPB },
        { "4800,e,5,1", nullptr, B4800, 0, 0 },
        { "115200,M,6,2", nullptr, B115200, PARODD | CMSPAR, CSTOPB },
        { "9600,N,8,1", "300,S,8,2", B300, CMSPAR, CSTOPB },
    };
    for (const auto& c : cases) {
        OpenPort port(QString::fromLatin1(c.text));
        ASSERT_TRUE(port.opened) << c.text << ": " << port.comm.errorText().toStdString();
        if (c.changedWhileOpen) {
            EXPECT_TRUE(port.comm.setSettings(QString::fromLatin1(c.changedWhileOpen)));
        }
        const termios attributes = port.pty.Attributes();
        EXPECT_EQ(cfgetospeed(&attributes), c.speed) << c.text;
        EXPECT_EQ(attributes.c_cflag & (PARODD | CMSPAR), c.parity) << c.text;
        EXPECT_EQ(attributes.c_cflag & CSTOPB, c.stop) << c.text;
    }
}

TEST(QtSerialComm, EveryByteValuePassesUnchangedBothWays)
{
    OpenPort port;
    QByteArray all;
    for (int value = 0; value < 256; ++value)
        all.append(char(value));
    ASSERT_TRUE(port.comm.setOutput(all));
    EXPECT_EQ(port.pty.Read(all.size()), all) << "written and flushed to the driver at once";
    port.pty.Write(all);
    EXPECT_EQ(port.Receive(all.size()), all);
}

TEST(QtSerialComm, InBufferCountZeroDiscardsUnreadInput)
{
    OpenPort port;
    QObject::disconnect(&port.comm, &MSComm::onComm, nullptr, nullptr);
    port.pty.Write("fetched by Qt");
    ASSERT_TRUE(QTest::qWaitFor([&] { return port.comm.commEvent() == MSComm::comEvReceive; }, 5000));
    port.pty.Write("still in the kernel");
    ASSERT_TRUE(port.pty.WaitQueued(19));
    port.comm.setInBufferCount(0);
    port.pty.Write("new");
    QByteArray got;
    (void)QTest::qWaitFor([&] { return (got += port.comm.input()).size() >= 3; }, 5000);
    EXPECT_EQ(got, "new");
}

TEST(QtSerialComm, PortClosesWhenTheDeviceGoesAway)
{
    OpenPort port;
    port.pty.CloseMaster();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !port.comm.portOpen(); }, 2000));
    EXPECT_TRUE(port.comm.errorText().startsWith(port.pty.slavePath + ": the device has gone away"));
    EXPECT_FALSE(port.comm.setOutput("x"));

    const double before = ProcessCpuSeconds();
    QTest::qWait(1000);
    EXPECT_LT(ProcessCpuSeconds() - before, 0.3) << "something keeps spinning on the dead device";
}

TEST(QtSerialComm, OpenFailuresNameTheDevice)
{
    QTemporaryDir dir;
    QtSerialComm missing(MapOf(dir.filePath("ttyNothing")));
    EXPECT_FALSE(missing.setPortOpen(true));
    EXPECT_EQ(missing.errorText(), dir.filePath("ttyNothing") + ": no such device.");

    OpenPort first;
    QtSerialComm second(MapOf(first.pty.slavePath));
    EXPECT_FALSE(second.setPortOpen(true));
    EXPECT_EQ(
        second.errorText(), first.pty.slavePath + ": the port is busy; it may be in use by another program.");
    EXPECT_TRUE(first.comm.portOpen());
}

TEST(QtSerialComm, LineSignalsOnADeviceWithoutLinesAreNoFailure)
{
    OpenPort port;
    for (bool raised : { false, true, false }) {
        port.comm.setDTREnable(raised);
        port.comm.setRTSEnable(raised);
        EXPECT_TRUE(port.comm.setBreak(raised));
    }
    EXPECT_TRUE(port.comm.portOpen());
    EXPECT_EQ(port.comm.errorText(), "");
    EXPECT_FALSE(port.comm.ctsHolding() || port.comm.dsrHolding() || port.comm.cdHolding());
    port.pty.Write("ok");
    EXPECT_EQ(port.Receive(2), "ok");
}

TEST(QtSerialComm, RefusedRequestsSayWhy)
{
    QtSerialComm comm(PortMap {});
    EXPECT_FALSE(comm.setSettings("9600,8,1"));
    EXPECT_TRUE(comm.errorText().contains("\"9600,8,1\""));
    EXPECT_EQ(comm.settings(), "9600,N,8,1");
    EXPECT_FALSE(comm.setOutput("x"));
    EXPECT_EQ(comm.errorText(), "/dev/ttyS0: the port is not open.");
    EXPECT_FALSE(comm.setBreak(true));
    EXPECT_FALSE(comm.setCommPort(17));
    EXPECT_EQ(comm.errorText(), "COM17: no such port; the ports are COM1 to COM16.");
    EXPECT_EQ(comm.commPort(), 1);
}

} // namespace
