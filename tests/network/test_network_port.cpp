#include "network/network_comm.h"
#include "network/routing_comm.h"
#include "network/telnet_codec.h"
#include "scripted_server.h"
#include "ser2net_process.h"
#include "serial/pty_pair.h"
#include "serial/qt_serial_comm.h"
#include "table_rows.h"

#include <QTest>
#include <gtest/gtest.h>
#include <arpa/inet.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <termios.h>

namespace
{

QByteArray AllByteValues()
{
    QByteArray bytes;
    for (int value = 0; value < 256; ++value)
        bytes.append(char(value));
    return bytes;
}

PortMap MapOf(const QStringList& paths)
{
    PortMap map;
    for (int port = 1; port <= paths.size(); ++port)
        map.SetPath(port, paths[port - 1]);
    return map;
}

QString Rfc2217Url(quint16 port)
{
    return QStringLiteral("rfc2217://127.0.0.1:%1").arg(port);
}

// The network kind on COM1, counting its events and losses.
struct NetworkPort {
    explicit NetworkPort(const QString& url, const char* settings = "9600,N,8,1")
        : comm(MapOf({ url }))
    {
        QObject::connect(&comm, &MSComm::onComm, [this] { events << comm.commEvent(); });
        QObject::connect(&comm, &MSComm::portLost, [this] { ++lost; });
        comm.setSettings(settings);
        comm.setRThreshold(1);
    }
    NetworkComm comm;
    QList<int> events;
    int lost = 0;
};

// A scripted server that takes the COM-PORT-OPTION, and the port open on it with its setup sent.
struct Scripted : testing::Test {
    void SetUp() override
    {
        ASSERT_TRUE(port.comm.setPortOpen(true)) << port.comm.errorText().toStdString();
        ASSERT_TRUE(Commands(9));
    }
    bool Commands(qsizetype count)
    {
        return QTest::qWaitFor([&] { return server.ComPortCommands().size() >= count; }, 5000);
    }
    ScriptedServer server { TelnetCommand(TelnetDo, TelnetComPort) };
    NetworkPort port { Rfc2217Url(server.Port()), "19200,E,7,2" };
};

TEST_F(Scripted, OpeningSendsMasksFormatFlowControlAndLinesThenEachControlItsCommand)
{
    port.comm.setDTREnable(false), port.comm.setRTSEnable(true), port.comm.setInBufferCount(0);
    port.comm.setBreak(true), port.comm.setBreak(false);
    ASSERT_TRUE(Commands(14));
    EXPECT_EQ(server.ComPortCommands(),
        (QList<QByteArray> { Bytes({ 11, 0xFF }), Bytes({ 10, 0x0C }), Bytes({ 1, 0, 0, 0x4B, 0 }),
            Bytes({ 2, 7 }), Bytes({ 3, 3 }), Bytes({ 4, 2 }), Bytes({ 5, 1 }), Bytes({ 5, 8 }),
            Bytes({ 5, 12 }), Bytes({ 5, 9 }), Bytes({ 5, 11 }), Bytes({ 12, 1 }), Bytes({ 5, 5 }),
            Bytes({ 5, 6 }) }));
}

TEST_F(Scripted, NotificationsRaiseLineEventsAndAnswersSetTheFormatInForce)
{
    server.Send(TelnetSubnegotiation(TelnetComPort, Bytes({ 107, 0x31 }))
        + TelnetSubnegotiation(TelnetComPort, Bytes({ 101, 0, 0, 0x25, 0x80 })));
    ASSERT_TRUE(QTest::qWaitFor([&] { return port.events.size() >= 2; }, 5000));
    EXPECT_EQ(port.events, (QList<int> { MSComm::comEvCTS, MSComm::comEvDSR }));
    EXPECT_TRUE(port.comm.ctsHolding() && port.comm.dsrHolding() && !port.comm.cdHolding());
    EXPECT_EQ(port.comm.settings(), "9600,E,7,2");
}

TEST_F(Scripted, ReopeningKeepsTheConnectionAndSendsTheNewSpeed)
{
    port.comm.setPortOpen(false);
    port.comm.setSettings("115200,N,8,1");
    ASSERT_TRUE(port.comm.setPortOpen(true));
    ASSERT_TRUE(Commands(18));
    EXPECT_EQ(server.ComPortCommands()[11], Bytes({ 1, 0, 1, 0xC2, 0 }));
    EXPECT_EQ(server.Connections(), 1);
    port.comm.setPortOpen(false);
    QCoreApplication::processEvents(); // closing drops the connection once the event is over
    ASSERT_TRUE(port.comm.setPortOpen(true));
    EXPECT_EQ(server.Connections(), 2);
}

// The client's own socket to the server, found among the process's descriptors.
std::optional<int> SocketTo(quint16 serverPort)
{
    for (int fd = 3; fd < 1024; ++fd) {
        sockaddr_in peer {};
        socklen_t size = sizeof peer;
        if (::getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &size) == 0 && peer.sin_family == AF_INET
            && ntohs(peer.sin_port) == serverPort)
            return fd;
    }
    return std::nullopt;
}

// A half-open connection is found by keep-alive within seconds, and a short packet never waits.
TEST_F(Scripted, TheConnectionKeepsAliveAndSendsAtOnce)
{
    const std::optional<int> fd = SocketTo(server.Port());
    ASSERT_TRUE(fd);
    const std::pair<int, int> options[] = {{SOL_SOCKET, SO_KEEPALIVE}, {IPPROTO_TCP, TCP_NODELAY}};
    for (const auto& [level, option] : options) {
        int on = 0;
        socklen_t size = sizeof on;
        EXPECT_EQ(::getsockopt(*fd, level, option, &on, &size), 0);
        EXPECT_NE(on, 0) << option;
    }
    int idle = 0;
    socklen_t size = sizeof idle;
    ::getsockopt(*fd, IPPROTO_TCP, TCP_KEEPIDLE, &idle, &size);
    EXPECT_LE(idle, 10) << "seconds of silence before the first probe";
}

TEST_F(Scripted, AResetIsAVanishedPortThatReconnects)
{
    server.Reset();
    EXPECT_TRUE(QTest::qWaitFor([&] { return port.lost == 1; }, 500));
    EXPECT_FALSE(port.comm.portOpen());
    EXPECT_EQ(port.comm.errorText(), Rfc2217Url(server.Port()) + ": the connection was lost.");
    EXPECT_TRUE(port.comm.setPortOpen(true));
    EXPECT_EQ(server.Connections(), 2);
}

struct FailureCase {
    const char* name;
    std::optional<QByteArray> greeting; // none: nothing listens
    const char* cause;
    DURNIX_PRINTS_ITS_NAME(FailureCase)
};
using NetworkOpenFailure = testing::TestWithParam<FailureCase>;

TEST_P(NetworkOpenFailure, NamesTheUrlAndTheCause)
{
    std::optional<ScriptedServer> server;
    if (GetParam().greeting)
        server.emplace(*GetParam().greeting);
    const QString url = Rfc2217Url(server ? server->Port() : FreeLoopbackPort());
    NetworkPort port(url);
    EXPECT_FALSE(port.comm.setPortOpen(true));
    EXPECT_EQ(port.comm.errorText(), url + ": " + GetParam().cause);
}

INSTANTIATE_TEST_SUITE_P(Network, NetworkOpenFailure,
    testing::ValuesIn(std::vector<FailureCase> { { "NothingListens", std::nullopt, "connection refused." },
        { "ComPortRefused", TelnetCommand(TelnetDont, TelnetComPort), "the server does not offer RFC 2217." },
        { "ServerSilent", QByteArray(), "the server does not offer RFC 2217." } }),
    ByName);

// An empty label makes a name that the resolver refuses without asking any name server.
TEST(NetworkOpen, AHostThatCannotBeLookedUpIsNotFound)
{
    NetworkPort port(QStringLiteral("rfc2217://a..b:2217"));
    EXPECT_FALSE(port.comm.setPortOpen(true));
    EXPECT_EQ(port.comm.errorText(), QStringLiteral("rfc2217://a..b:2217: host not found."));
}

// The serial kind on COM1, a raw socket on COM2: bytes pass unchanged, and lines do nothing.
TEST(RoutingComm, RawSocketCarriesBytesOnlyAndTheMapPicksTheKind)
{
    PtyPair pty;
    ScriptedServer server(AllByteValues());
    const PortMap map
        = MapOf({ pty.SlavePath(), QStringLiteral("socket://[::ffff:127.0.0.1]:%1").arg(server.Port()) });
    QtSerialComm serial(map);
    NetworkComm network(map);
    RoutingComm comm(serial, network, map);
    ASSERT_TRUE(comm.setCommPort(2));
    ASSERT_TRUE(comm.setPortOpen(true)) << comm.errorText().toStdString();
    comm.setDTREnable(false), comm.setRTSEnable(true);
    EXPECT_TRUE(comm.setBreak(true));
    ASSERT_TRUE(comm.setOutput(AllByteValues()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return server.Received() == AllByteValues(); }, 5000));
    QByteArray got;
    EXPECT_TRUE(QTest::qWaitFor([&] { return (got += comm.input()) == AllByteValues(); }, 5000));
    EXPECT_FALSE(comm.ctsHolding() || comm.dsrHolding() || comm.cdHolding());
    comm.setPortOpen(false);
    ASSERT_TRUE(comm.setCommPort(1) && comm.setPortOpen(true));
    comm.setOutput("1");
    EXPECT_EQ(pty.Read(1), "1");
}

// ser2net in front of a pseudo-terminal whose far side is the test. The pseudo-terminal keeps the
// speed and the stop bits but forces 8 data bits without parity, so those two are read back from
// ser2net's answers.
TEST(Ser2net, TakesTheFormatAndCarriesEveryByteValueBothWays)
{
    PtyPair pty;
    Ser2netProcess server;
    ASSERT_TRUE(server.Start(pty.SlavePath())) << server.Errors().constData();
    NetworkPort port(server.Url(), "19200,E,7,2");
    ASSERT_TRUE(port.comm.setPortOpen(true)) << port.comm.errorText().toStdString();
    termios tty {};
    const auto applied = [&] {
        return ::tcgetattr(pty.slave, &tty) == 0 && cfgetospeed(&tty) == B19200 && (tty.c_cflag & CSTOPB);
    };
    EXPECT_TRUE(QTest::qWaitFor(applied, 5000))
        << "speed " << cfgetospeed(&tty) << ", flags " << std::oct << tty.c_cflag;
    EXPECT_TRUE(QTest::qWaitFor([&] { return port.comm.settings() == "19200,E,7,2"; }, 5000));
    const QByteArray twice = AllByteValues() + AllByteValues();
    ASSERT_TRUE(port.comm.setOutput(twice));
    EXPECT_EQ(pty.Read(twice.size()), twice);
    pty.Write(twice);
    QByteArray got;
    EXPECT_TRUE(QTest::qWaitFor([&] { return (got += port.comm.input()) == twice; }, 5000));
}

} // namespace
