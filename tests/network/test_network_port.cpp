#include "network/com_port_option.h"
#include "network/network_comm.h"
#include "network/routing_comm.h"
#include "network/telnet_codec.h"
#include "scripted_server.h"
#include "ser2net_process.h"
#include "serial/pty_pair.h"
#include "serial/qt_serial_comm.h"

#include <QTest>
#include <gtest/gtest.h>
#include <termios.h>

namespace
{

const QByteArray DoComPort = TelnetCommand(TelnetDo, TelnetComPort);

QByteArray AllByteValues()
{
    QByteArray bytes;
    for (int value = 0; value < 256; ++value)
        bytes.append(char(value));
    return bytes;
}

// COM1 is `url`.
struct NetworkPort {
    explicit NetworkPort(const QString& url, const char* settings = "9600,N,8,1")
        : comm(Map(url))
    {
        QObject::connect(&comm, &MSComm::onComm, [this] { events << comm.commEvent(); });
        QObject::connect(&comm, &MSComm::portLost, [this] { ++lost; });
        comm.setSettings(settings);
        comm.setRThreshold(1);
    }
    static PortMap Map(const QString& url)
    {
        PortMap map;
        map.SetPath(1, url);
        return map;
    }
    QByteArray Receive(qsizetype count)
    {
        (void)QTest::qWaitFor([&] { return (got += comm.input()).size() >= count; }, 5000);
        return std::exchange(got, {});
    }

    NetworkComm comm;
    QList<int> events;
    QByteArray got;
    int lost = 0;
};

QString Rfc2217Url(quint16 port)
{
    return QStringLiteral("rfc2217://127.0.0.1:%1").arg(port);
}

// The COM-PORT-OPTION commands the server got, without their IAC SB and IAC SE.
QList<QByteArray> ComPortCommands(ScriptedServer& server)
{
    QList<QByteArray> commands;
    for (const TelnetMessage& message : server.Messages())
        if (message.verb == TelnetSb && message.option == TelnetComPort)
            commands << message.payload;
    return commands;
}

QByteArray Command(int code, std::initializer_list<int> value)
{
    QByteArray bytes(1, char(code));
    for (int v : value)
        bytes.append(char(v));
    return bytes;
}

bool WaitForCommands(ScriptedServer& server, qsizetype count)
{
    return QTest::qWaitFor([&] { return ComPortCommands(server).size() >= count; }, 5000);
}

TEST(NetworkPort, OpensWithTheLineSetupInOrder)
{
    ScriptedServer server(DoComPort);
    NetworkPort port(Rfc2217Url(server.Port()), "19200,E,7,2");
    port.comm.setDTREnable(false);
    ASSERT_TRUE(port.comm.setPortOpen(true)) << port.comm.errorText().toStdString();
    ASSERT_TRUE(WaitForCommands(server, 9));
    EXPECT_EQ(ComPortCommands(server),
        (QList<QByteArray> { Command(11, { 0xFF }), Command(10, { 0x0C }), Command(1, { 0, 0, 0x4B, 0 }),
            Command(2, { 7 }), Command(3, { 3 }), Command(4, { 2 }), Command(5, { 1 }), Command(5, { 9 }),
            Command(5, { 12 }) }));
}

struct ControlCase {
    const char* name;
    std::function<void(MSComm&)> act;
    QByteArray command;
};

class NetworkControl : public testing::TestWithParam<ControlCase>
{
};

TEST_P(NetworkControl, ReachesTheRemoteUart)
{
    ScriptedServer server(DoComPort);
    NetworkPort port(Rfc2217Url(server.Port()));
    ASSERT_TRUE(port.comm.setPortOpen(true));
    ASSERT_TRUE(WaitForCommands(server, 9));
    GetParam().act(port.comm);
    ASSERT_TRUE(WaitForCommands(server, 10));
    EXPECT_EQ(ComPortCommands(server).last(), GetParam().command);
}

INSTANTIATE_TEST_SUITE_P(Network, NetworkControl,
    testing::Values(ControlCase { "DtrOn", [](MSComm& c) { c.setDTREnable(true); }, Command(5, { 8 }) },
        ControlCase { "DtrOff", [](MSComm& c) { c.setDTREnable(false); }, Command(5, { 9 }) },
        ControlCase { "RtsOn", [](MSComm& c) { c.setRTSEnable(true); }, Command(5, { 11 }) },
        ControlCase { "RtsOff", [](MSComm& c) { c.setRTSEnable(false); }, Command(5, { 12 }) },
        ControlCase { "BreakOn", [](MSComm& c) { c.setBreak(true); }, Command(5, { 5 }) },
        ControlCase { "BreakOff", [](MSComm& c) { c.setBreak(false); }, Command(5, { 6 }) },
        ControlCase { "DiscardUnreadInput", [](MSComm& c) { c.setInBufferCount(0); }, Command(12, { 1 }) }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(NetworkPort, ServerNotificationsRaiseLineEventsAndAnswersSetTheFormatInForce)
{
    ScriptedServer server(DoComPort);
    NetworkPort port(Rfc2217Url(server.Port()), "19200,N,8,1");
    ASSERT_TRUE(port.comm.setPortOpen(true));
    server.Send(ComPortMessage(107, 0x31) + ComPortMessage(106, FramingError)
        + ComPortMessage(101, QByteArray::fromHex("00002580")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return port.events.size() >= 3; }, 5000));
    EXPECT_EQ(port.events, (QList<int> { MSComm::comEvCTS, MSComm::comEvDSR, MSComm::comEventFrame }));
    EXPECT_TRUE(port.comm.ctsHolding() && port.comm.dsrHolding() && !port.comm.cdHolding());
    EXPECT_EQ(port.comm.settings(), "9600,N,8,1");
}

struct RefusalCase {
    const char* name;
    QByteArray greeting;
};

class NetworkRefusal : public testing::TestWithParam<RefusalCase>
{
};

TEST_P(NetworkRefusal, TellsTheServerDoesNotOfferRfc2217)
{
    ScriptedServer server(GetParam().greeting);
    NetworkPort port(Rfc2217Url(server.Port()));
    EXPECT_FALSE(port.comm.setPortOpen(true));
    EXPECT_EQ(port.comm.errorText(), Rfc2217Url(server.Port()) + ": the server does not offer RFC 2217.");
    EXPECT_FALSE(port.comm.portOpen());
}

INSTANTIATE_TEST_SUITE_P(Network, NetworkRefusal,
    testing::Values(RefusalCase { "Refused", TelnetCommand(TelnetDont, TelnetComPort) },
        RefusalCase { "Silent", QByteArray() }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(NetworkPort, NothingListeningIsAConnectionRefused)
{
    const QString url = Rfc2217Url(FreeLoopbackPort());
    NetworkPort port(url);
    EXPECT_FALSE(port.comm.setPortOpen(true));
    EXPECT_EQ(port.comm.errorText(), url + ": connection refused.");
}

TEST(NetworkPort, ReopeningKeepsTheConnectionAndOnlyClosingDropsIt)
{
    ScriptedServer server(DoComPort);
    NetworkPort port(Rfc2217Url(server.Port()));
    ASSERT_TRUE(port.comm.setPortOpen(true));
    port.comm.setPortOpen(false);
    port.comm.setSettings("115200,N,8,1");
    ASSERT_TRUE(port.comm.setPortOpen(true));
    ASSERT_TRUE(WaitForCommands(server, 18));
    EXPECT_EQ(ComPortCommands(server)[11], Command(1, { 0, 1, 0xC2, 0 }));
    EXPECT_EQ(server.Connections(), 1);
    port.comm.setPortOpen(false);
    QCoreApplication::processEvents();
    ASSERT_TRUE(port.comm.setPortOpen(true));
    EXPECT_TRUE(QTest::qWaitFor([&] { return server.Connections() == 2; }, 5000));
}

TEST(NetworkPort, AResetConnectionIsAVanishedPortThatReconnects)
{
    ScriptedServer server(DoComPort);
    NetworkPort port(Rfc2217Url(server.Port()));
    ASSERT_TRUE(port.comm.setPortOpen(true));
    server.Reset();
    EXPECT_TRUE(QTest::qWaitFor([&] { return port.lost == 1; }, 500));
    EXPECT_FALSE(port.comm.portOpen());
    EXPECT_EQ(port.comm.errorText(), Rfc2217Url(server.Port()) + ": the connection was lost.");
    EXPECT_TRUE(port.comm.setPortOpen(true));
    EXPECT_EQ(server.Connections(), 2);
}

TEST(NetworkPort, RawSocketCarriesBytesOnlyAndHasNoLines)
{
    ScriptedServer server(AllByteValues(), ScriptedServer::Peer::Raw);
    NetworkPort port(QStringLiteral("socket://[::ffff:127.0.0.1]:%1").arg(server.Port()));
    ASSERT_TRUE(port.comm.setPortOpen(true)) << port.comm.errorText().toStdString();
    port.comm.setDTREnable(true);
    port.comm.setRTSEnable(true);
    EXPECT_TRUE(port.comm.setBreak(true));
    port.comm.setInBufferCount(0);
    ASSERT_TRUE(port.comm.setOutput(AllByteValues()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return server.Data().size() >= 256; }, 5000));
    EXPECT_EQ(server.Data(), AllByteValues());
    server.Send(AllByteValues());
    EXPECT_EQ(port.Receive(256), AllByteValues());
    EXPECT_FALSE(port.comm.ctsHolding() || port.comm.dsrHolding() || port.comm.cdHolding());
}

TEST(RoutingComm, PicksTheKindByWhatTheMapNames)
{
    PtyPair pty;
    ScriptedServer server(QByteArray(), ScriptedServer::Peer::Raw);
    PortMap map;
    map.SetPath(1, pty.SlavePath());
    map.SetPath(2, QStringLiteral("socket://127.0.0.1:%1").arg(server.Port()));
    QtSerialComm serial(map);
    NetworkComm network(map);
    RoutingComm comm(serial, network, map);
    for (const int number : { 2, 1 }) {
        ASSERT_TRUE(comm.setCommPort(number));
        ASSERT_TRUE(comm.setPortOpen(true)) << comm.errorText().toStdString();
        comm.setOutput(QByteArray(1, char('0' + number)));
        comm.setPortOpen(false);
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return server.Data() == "2"; }, 5000));
    EXPECT_EQ(pty.Read(1), "1");
}

// ser2net in front of a pseudo-terminal whose far side is the test.
struct ThroughSer2net : PtyPair {
    ThroughSer2net() { EXPECT_TRUE(server.Start(SlavePath())) << server.Errors().constData(); }
    Ser2netProcess server;
};

TEST(Ser2net, CarriesEveryByteValueBothWays)
{
    ThroughSer2net link;
    NetworkPort port(link.server.Url());
    ASSERT_TRUE(port.comm.setPortOpen(true)) << port.comm.errorText().toStdString();
    const QByteArray twice = AllByteValues() + AllByteValues();
    ASSERT_TRUE(port.comm.setOutput(twice));
    EXPECT_EQ(link.Read(twice.size()), twice);
    link.Write(twice);
    EXPECT_EQ(port.Receive(twice.size()), twice);
}

struct FormatCase {
    const char* name;
    const char* settings;
    speed_t speed;
    tcflag_t stopBits; // CSTOPB or 0
};

class Ser2netFormat : public testing::TestWithParam<FormatCase>
{
};

// A pseudo-terminal keeps the speed and the stop bits but forces 8 data bits without parity, so
// those two are read back from ser2net's answers.
TEST_P(Ser2netFormat, ReachesThePseudoTerminal)
{
    ThroughSer2net link;
    NetworkPort port(link.server.Url(), GetParam().settings);
    ASSERT_TRUE(port.comm.setPortOpen(true)) << port.comm.errorText().toStdString();
    termios attributes {};
    const auto inForce = [&] {
        ::tcgetattr(link.slave, &attributes);
        return cfgetospeed(&attributes) == GetParam().speed
            && (attributes.c_cflag & CSTOPB) == GetParam().stopBits;
    };
    EXPECT_TRUE(QTest::qWaitFor(inForce, 5000))
        << "speed " << cfgetospeed(&attributes) << ", flags " << std::oct << attributes.c_cflag;
    EXPECT_TRUE(QTest::qWaitFor([&] { return port.comm.settings() == GetParam().settings; }, 5000))
        << port.comm.settings().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Network, Ser2netFormat,
    testing::Values(FormatCase { "Baud19200Even7Two", "19200,E,7,2", B19200, CSTOPB },
        FormatCase { "Baud115200None8One", "115200,N,8,1", B115200, 0 },
        FormatCase { "Baud1200Odd5One", "1200,O,5,1", B1200, 0 },
        FormatCase { "Baud4800Mark6Two", "4800,M,6,2", B4800, CSTOPB }),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
