#include "app/form_harness.h"
#include "network/network_comm.h"
#include "network/routing_comm.h"
#include "scripted_server.h"
#include "ser2net_process.h"
#include "serial/pty_pair.h"

#include <filesystem>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <numeric>

namespace
{

QByteArray AllByteValues()
{
    QByteArray bytes(256, 0);
    std::iota(bytes.begin(), bytes.end(), 0);
    return bytes;
}

// The descriptor of this process's socket whose peer is 127.0.0.1:port, the client end of a connection
// to a server of the test; -1 if there is none.
int SocketConnectedTo(quint16 port)
{
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        const int fd = std::stoi(entry.path().filename());
        sockaddr_in peer {};
        socklen_t size = sizeof peer;
        if (::getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &size) == 0 && peer.sin_family == AF_INET
            && ntohs(peer.sin_port) == port)
            return fd;
    }
    return -1;
}

// A scripted server that takes the COM-PORT-OPTION and the network kind open on it. The modem state mask
// 0xFF goes doubled, as every 0xFF in a command. Notifications raise line events and answers set the format
// in force. Reopening within the event keeps the connection and sends the new speed; a close that outlives
// the event drops it.
TEST(Scripted, OpeningSendsTheSetupEachControlItsCommandAndReopeningKeepsTheConnection)
{
    ScriptedServer server(TelnetCommand(TelnetDo, TelnetComPort));
    const PortMap com1 = PortMap::FromSettingsBytes("COM1=" + server.Url().toLatin1());
    NetworkComm port(com1);
    port.setSettings("19200,E,7,2");
    ASSERT_TRUE(port.setPortOpen(true)) << port.errorText().toStdString();
    port.setDTREnable(false), port.setRTSEnable(true), port.setInBufferCount(0);
    port.setBreak(true), port.setBreak(false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.ComPortCommands().size() >= 14; }, 5000));
    EXPECT_EQ(server.ComPortCommands(),
        QStringList({ "0b ff", "0a 0c", "01 00 00 4b 00", "02 07", "03 03", "04 02", "05 01", "05 08",
            "05 0c", "05 09", "05 0b", "0c 01", "05 05", "05 06" }));

    QList<int> events;
    QObject::connect(&port, &MSComm::onComm, [&] { events << port.commEvent(); });
    server.Send(TelnetSubnegotiation(TelnetComPort, QByteArray::fromHex("6b31"))
        + TelnetSubnegotiation(TelnetComPort, QByteArray::fromHex("6500002580")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return events.size() >= 2; }, 5000));
    EXPECT_EQ(events, (QList<int> { MSComm::comEvCTS, MSComm::comEvDSR }));
    EXPECT_TRUE(port.ctsHolding() && port.dsrHolding() && !port.cdHolding());
    EXPECT_EQ(port.settings(), "9600,E,7,2");

    port.setPortOpen(false);
    port.setSettings("115200,N,8,1");
    ASSERT_TRUE(port.setPortOpen(true));
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.ComPortCommands().size() >= 20; }, 5000));
    EXPECT_EQ(server.ComPortCommands()[16], "01 00 01 c2 00");
    EXPECT_EQ(server.Connections(), 1);
    port.setPortOpen(false);
    QCoreApplication::processEvents(); // closing drops the connection once the event is over
    ASSERT_TRUE(port.setPortOpen(true));
    EXPECT_EQ(server.Connections(), 2);
}

// The options of the connection, read back from its socket: no Nagle, so that a short command does not
// wait for the previous segment's acknowledgement, and keep-alive probes after 5 s of silence, every
// 2 s, 3 of them, so that a server that vanished without a word is noticed.
TEST(Scripted, TheConnectionSendsAtOnceAndProbesASilentServer)
{
    ScriptedServer server(TelnetCommand(TelnetDo, TelnetComPort));
    const PortMap com1 = PortMap::FromSettingsBytes("COM1=" + server.Url().toLatin1());
    NetworkComm port(com1);
    ASSERT_TRUE(port.setPortOpen(true)) << port.errorText().toStdString();
    const int fd = SocketConnectedTo(server.Port());
    ASSERT_GE(fd, 0);
    const struct {
        const char* name;
        int level, option, expected;
    } options[] = { { "TCP_NODELAY", IPPROTO_TCP, TCP_NODELAY, 1 },
        { "SO_KEEPALIVE", SOL_SOCKET, SO_KEEPALIVE, 1 }, { "TCP_KEEPIDLE", IPPROTO_TCP, TCP_KEEPIDLE, 5 },
        { "TCP_KEEPINTVL", IPPROTO_TCP, TCP_KEEPINTVL, 2 }, { "TCP_KEEPCNT", IPPROTO_TCP, TCP_KEEPCNT, 3 } };
    for (const auto& o : options) {
        int value = -1;
        socklen_t size = sizeof value;
        EXPECT_EQ(::getsockopt(fd, o.level, o.option, &value, &size), 0) << o.name;
        EXPECT_EQ(value, o.expected) << o.name;
    }
}

// COM1 is of the serial kind, with its driver's RTS and latency set while COM2 was picked, COM2 a raw
// socket that carries bytes unchanged and has no lines. The network kind's events come through, a peer
// that closes the connection among them.
TEST(RoutingComm, TheMapPicksTheKindAndARawSocketCarriesBytesOnly)
{
    ScriptedServer server(AllByteValues());
    const QString url = QStringLiteral("socket://[::ffff:127.0.0.1]:%1").arg(server.Port());
    const PortMap map = PortMap::FromSettingsBytes("COM1=serial-device\nCOM2=" + url.toLatin1());
    FakeComm serial;
    serial.driverRts = true, serial.notes = "; USB latency timer 1 ms";
    NetworkComm network(map);
    RoutingComm comm(serial, network, map);
    ASSERT_TRUE(comm.setCommPort(2));
    comm.setLowLatency(false), comm.setAutoRts(true);
    ASSERT_TRUE(comm.setCommPort(1) && comm.setPortOpen(true));
    EXPECT_TRUE(comm.rtsByDriver() && !comm.lowLatency());
    EXPECT_EQ(comm.portNotes(), "; USB latency timer 1 ms");
    ASSERT_TRUE(comm.setPortOpen(false));
    EXPECT_EQ(serial.log.count("OPEN"), 1);

    ASSERT_TRUE(comm.setCommPort(2) && comm.setPortOpen(true)) << comm.errorText().toStdString();
    comm.setRThreshold(1);
    QByteArray got;
    int lost = 0;
    QObject::connect(&comm, &MSComm::onComm, [&] { got += comm.input(); });
    QObject::connect(&comm, &MSComm::portLost, [&] { ++lost; });
    comm.setDTREnable(false), comm.setRTSEnable(true);
    EXPECT_TRUE(comm.setBreak(true));
    ASSERT_TRUE(comm.setOutput(AllByteValues()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return server.Received() == AllByteValues(); }, 5000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return got == AllByteValues(); }, 5000));

    server.Close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return lost == 1; }, 500));
    EXPECT_EQ(comm.errorText(), url + ": the connection was lost.");
    EXPECT_TRUE(comm.setPortOpen(true) && QTest::qWaitFor([&] { return server.Connections() == 2; }, 5000));
}

// Each kind raises a line event and loses its port, with either port picked: only the kind picked is
// heard, so a kind left behind cannot stop the window's repetition or touch its lamps.
TEST(RoutingComm, OnlyThePickedKindIsHeard)
{
    const PortMap map = PortMap::FromSettingsBytes("COM1=serial-device\nCOM2=socket://127.0.0.1:2000");
    FakeComm serial, network;
    RoutingComm comm(serial, network, map);
    QStringList heard;
    QObject::connect(&comm, &MSComm::onComm, [&] { heard << "onComm"; });
    QObject::connect(&comm, &MSComm::portLost, [&] { heard << "portLost"; });
    const struct {
        int port;
        FakeComm& kind;
        bool passes;
    } rows[] = { { 1, serial, true }, { 1, network, false }, { 2, network, true }, { 2, serial, false } };
    for (const auto& row : rows) {
        heard.clear();
        ASSERT_TRUE(comm.setCommPort(row.port));
        row.kind.raise(MSComm::comEvCTS);
        row.kind.lose();
        EXPECT_EQ(heard, row.passes ? QStringList({ "onComm", "portLost" }) : QStringList())
            << "COM" << row.port << (&row.kind == &serial ? ", serial kind" : ", network kind");
    }
}

// ser2net in front of a pseudo-terminal whose far side is the test: it takes the format (its answers
// tell the format in force) and every byte value passes both ways.
TEST(Ser2net, TakesTheFormatAndCarriesEveryByteValueBothWays)
{
    PtyPair pty;
    Ser2netProcess server;
    ASSERT_TRUE(server.Start(pty.SlavePath())) << server.Errors().constData();
    const PortMap com1 = PortMap::FromSettingsBytes("COM1=" + server.Url().toLatin1());
    NetworkComm port(com1);
    port.setSettings("19200,E,7,2");
    ASSERT_TRUE(port.setPortOpen(true)) << port.errorText().toStdString();
    EXPECT_TRUE(QTest::qWaitFor([&] { return port.settings() == "19200,E,7,2"; }, 5000));
    ASSERT_TRUE(port.setOutput(AllByteValues()));
    EXPECT_EQ(pty.Read(256), AllByteValues());
    pty.Write(AllByteValues());
    QByteArray got;
    EXPECT_TRUE(QTest::qWaitFor([&] { return (got += port.input()) == AllByteValues(); }, 5000));
}

// The window on network entries of the port map, its serial kind a FakeComm so that no pick of a port
// can reach a real device. The operator picks each port in turn. The window opens a network entry as
// any port, and shows why one cannot be opened: the server says nothing of the option in time, the connection
// is never taken up, or the host is not found (an empty label, which the resolver refuses without asking a
// name server).
TEST(NetworkWindow, OpensANetworkEntryAsAnyPortAndShowsWhyOneCannotBeOpened)
{
    ScriptedServer server(TelnetCommand(TelnetDo, TelnetComPort)), silent({});
    // A listener that never accepts, its one-place queue taken: the system drops the next SYN.
    QTcpServer full;
    full.setListenBacklogSize(0);
    full.listen(QHostAddress::LocalHost);
    full.pauseAccepting();
    QTcpSocket queued;
    queued.connectToHost(QHostAddress::LocalHost, full.serverPort());
    ASSERT_TRUE(queued.waitForConnected(1000));
    const QStringList urls = { server.Url(), silent.Url(),
        QStringLiteral("rfc2217://127.0.0.1:%1").arg(full.serverPort()), "rfc2217://a..b:2217" };
    FormHarness h;
    for (int port = 1; port <= urls.size(); ++port)
        h.portMap.SetPath(port, urls[port - 1]);
    NetworkComm network(h.portMap);
    RoutingComm comm(h.comm, network, h.portMap);
    DurnixForm f(comm, h.Services());
    EXPECT_TRUE(QTest::qWaitFor([&] { return server.ComPortCommands().contains("01 00 00 12 c0"); }, 5000))
        << "the window's 4800 Bd";

    for (int pick = 2; pick <= urls.size(); ++pick)
        QTest::keyClick(f.ComboPort, Qt::Key_Down);
    EXPECT_EQ(h.portFailures,
        QStringList({ urls[1] + ": the server does not offer RFC 2217.", urls[2] + ": no answer within 3 s.",
            urls[3] + ": host not found." }));
}

// The window on one network port, COM1, with the log running from start-up.
struct LoggedNetworkWindow {
    explicit LoggedNetworkWindow(const QString& url, int outputStallMs = NetworkComm::OutputStallMs)
        : map(PortMap::FromSettingsBytes("COM1=" + url.toLatin1()))
        , network(map, outputStallMs)
    {
        h.portMap = map;
        h.logFile = h.folder.filePath("traffic.log");
        form = std::make_unique<DurnixForm>(comm, h.Services());
    }
    // The texts of the PORT records, once the log has stopped and the last holds `last`.
    QStringList PortRecords(const QByteArray& last)
    {
        form->StopLog();
        QFile log(h.logFile);
        QByteArray written; // by the log's own thread, a moment after it stopped
        (void)QTest::qWaitFor([&] {
            return (log.isOpen() || log.open(QIODevice::ReadOnly))
                && (written += log.readAll()).contains(last);
        });
        QStringList records;
        for (const QString& line : QString::fromUtf8(written).split('\n'))
            if (line.section('\t', 1, 1) == "PORT")
                records << line.section('\t', 3, 3);
        return records;
    }

    FormHarness h;
    PortMap map;
    NetworkComm network;
    RoutingComm comm { h.comm, network, map };
    std::unique_ptr<DurnixForm> form;
};

// A server that greets, says why it cannot go on and drops the connection, as ser2net does in front of a
// missing device: the open fails with the server's first line, and the log holds no open.
TEST(Opening, AConnectionDroppedWhileOpeningFailsTheOpenWithTheServersWords)
{
    for (const Script::Drop drop : { Script::Drop::Reset, Script::Drop::Close }) {
        ScriptedServer server(TelnetCommand(TelnetDo, TelnetComPort) + "Device open failure: none\r\nmore",
            { .drop = drop, .answersFormat = false });
        LoggedNetworkWindow w(server.Url());
        const QString failure
            = server.Url() + ": the connection was lost while opening (\"Device open failure: none\").";
        EXPECT_EQ(w.h.portFailures, QStringList({ failure })) << "reset " << (drop == Script::Drop::Reset);
        EXPECT_EQ(w.PortRecords("failed COM1"), QStringList({ "failed COM1: " + failure }));
    }
}

// A write that the system refuses, because the server has reset the connection, is reported.
TEST(Opening, AWriteOnAConnectionTheServerResetFails)
{
    ScriptedServer server(TelnetCommand(TelnetDo, TelnetComPort));
    const PortMap com1 = PortMap::FromSettingsBytes("COM1=" + server.Url().toLatin1());
    NetworkComm port(com1);
    ASSERT_TRUE(port.setPortOpen(true)) << port.errorText().toStdString();
    const int fd = SocketConnectedTo(server.Port());
    server.Reset();
    // The reset reaches the system; the port is told nothing until it writes.
    tcp_info info {};
    socklen_t size = sizeof info;
    for (QDeadlineTimer deadline(5000); !deadline.hasExpired() && info.tcpi_state != TCP_CLOSE;)
        ::getsockopt(fd, IPPROTO_TCP, TCP_INFO, &info, &size);
    EXPECT_FALSE(port.setOutput("x"));
    EXPECT_EQ(port.errorText(), server.Url() + ": the connection was lost.");
}

// ser2net in front of a device that does not exist greets, says so and drops the connection: the open
// fails with its words.
TEST(Ser2net, InFrontOfAMissingDeviceTheOpenFailsWithItsWords)
{
    QTemporaryDir folder;
    Ser2netProcess server;
    ASSERT_TRUE(server.Start(folder.filePath("missing"))) << server.Errors().constData();
    const PortMap com1 = PortMap::FromSettingsBytes("COM1=" + server.Url().toLatin1());
    NetworkComm port(com1);
    EXPECT_FALSE(port.setPortOpen(true));
    EXPECT_TRUE(port.errorText().startsWith(
        server.Url() + ": the connection was lost while opening (\"Device open failure: "))
        << port.errorText().toStdString();
}

// A server that takes nothing. Output waits up to the bound; a send beyond it is not written: the window
// beeps, and the log notes it once per stall. Once the queue has not moved for the stall time, counted from
// its last move, the port is lost.
TEST(Output, ToAServerThatTakesNothingIsBoundedAndAStallLosesThePort)
{
    ScriptedServer server({}, { .reads = false });
    const QString url = QStringLiteral("socket://127.0.0.1:%1").arg(server.Port());
    LoggedNetworkWindow w(url, 2000);
    // Small buffers in the system, so that what the server reads moves the port's own queue at once.
    const int smallBuffer = 4096;
    ::setsockopt(SocketConnectedTo(server.Port()), SOL_SOCKET, SO_SNDBUF, &smallBuffer, sizeof smallBuffer);
    for (int sends = 0; sends < 2000 && w.network.setOutput(QByteArray(30'000, 'x')); ++sends) { }
    const qint64 waiting = w.network.outBufferCount();
    EXPECT_LE(waiting, NetworkComm::OutputLimit);
    EXPECT_GT(waiting, NetworkComm::OutputLimit - 30'000);
    EXPECT_EQ(
        w.network.errorText(), QStringLiteral("%1: output held up: %2 bytes waiting.").arg(url).arg(waiting));
    w.form->TextOutput->setEditText(QString(30'000, 'x'));
    w.form->CommandSend->click();
    EXPECT_EQ(w.h.beeps, 1);
    EXPECT_EQ(w.network.outBufferCount(), waiting);

    server.Read(256 * 1024);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.network.outBufferCount() < waiting; }, 5000));
    EXPECT_FALSE(w.network.setOutput(QByteArray(NetworkComm::OutputLimit, 'x')));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !w.form->MSComm1.portOpen(); }, 10000));
    QStringList records = w.PortRecords("lost COM1");
    records.replaceInStrings(QRegularExpression("\\d+ bytes waiting"), "N bytes waiting");
    EXPECT_EQ(records,
        QStringList({ "open COM1 " + url + " 4800,N,8,1", "COM1: output held up: N bytes waiting",
            "COM1: output held up: N bytes waiting", "lost COM1: " + url + ": the server takes no data." }));
}

// A stream handed over in one go, 10 MB as a device sends at 10 MB/s in a second, is taken in slices, and the
// event loop turns between them: a timer set at the first slice fires long before the last. The rest waits in
// the system, not in the port.
TEST(Input, AStreamIsTakenInSlicesAndTheEventLoopTurnsBetweenThem)
{
    const QByteArray stream(10'000'000, 'x');
    for (const bool rfc2217 : { false, true }) {
        ScriptedServer server(rfc2217 ? TelnetCommand(TelnetDo, TelnetComPort) : QByteArray());
        const QString url
            = rfc2217 ? server.Url() : QStringLiteral("socket://127.0.0.1:%1").arg(server.Port());
        const PortMap com1 = PortMap::FromSettingsBytes("COM1=" + url.toLatin1());
        NetworkComm port(com1);
        ASSERT_TRUE(port.setPortOpen(true)) << port.errorText().toStdString();
        port.setRThreshold(1);
        qsizetype got = 0, largest = 0, gotWhenTimerFired = -1;
        qint64 mostHeld = 0;
        QObject::connect(&port, &MSComm::onComm, [&] {
            if (got == 0)
                QTimer::singleShot(0, &port, [&] { gotWhenTimerFired = got; });
            mostHeld = std::max(mostHeld, port.inBufferCount());
            const qsizetype size = port.input().size();
            got += size;
            largest = std::max(largest, size);
        });
        server.Send(stream);
        EXPECT_TRUE(QTest::qWaitFor([&] { return got == stream.size(); }, 30000)) << url.toStdString();
        EXPECT_LE(largest, NetworkComm::ReadSlice) << url.toStdString();
        EXPECT_LE(mostHeld, NetworkComm::ReadAhead + NetworkComm::ReadSlice) << url.toStdString();
        EXPECT_TRUE(gotWhenTimerFired >= 0 && gotWhenTimerFired < stream.size() / 2) << gotWhenTimerFired;
    }
}

// What the server answers to each part of the format is the format in force. The open waits for the answers,
// so that the log's open record shows it, with what was asked when that differs. A server that never answers
// opens all the same, with what was asked.
TEST(SettingsInForce, AreTheServersAnswersAndTheOpenRecordSaysWhatWasAsked)
{
    ScriptedServer server(TelnetCommand(TelnetDo, TelnetComPort), { .speed = 9600 });
    LoggedNetworkWindow w(server.Url());
    EXPECT_EQ(w.form->MSComm1.settings(), "9600,N,8,1");
    w.form->ComboBPS->setCurrentIndex(w.form->ComboBPS->findText("19200"));
    EXPECT_EQ(w.form->MSComm1.settings(), "9600,N,8,1");
    w.form->ComboBPS->setCurrentIndex(w.form->ComboBPS->findText("9600"));
    EXPECT_EQ(w.PortRecords("open COM1 " + server.Url().toLatin1() + " 9600,N,8,1\t"),
        QStringList({ "open COM1 " + server.Url() + " 9600,N,8,1, asked 4800,N,8,1",
            "open COM1 " + server.Url() + " 9600,N,8,1, asked 19200,N,8,1",
            "open COM1 " + server.Url() + " 9600,N,8,1" }));

    ScriptedServer silent(TelnetCommand(TelnetDo, TelnetComPort), { .answersFormat = false });
    const PortMap com1 = PortMap::FromSettingsBytes("COM1=" + silent.Url().toLatin1());
    NetworkComm port(com1);
    port.setSettings("19200,E,7,2");
    EXPECT_TRUE(port.setPortOpen(true)) << port.errorText().toStdString();
    EXPECT_EQ(port.settings(), "19200,E,7,2");
}

// A port open on a scripted server that takes the COM-PORT-OPTION, with what the server got kept apart from
// what came before a given moment.
struct OpenOnScriptedServer : testing::Test {
    ScriptedServer server { TelnetCommand(TelnetDo, TelnetComPort) };
    const PortMap com1 = PortMap::FromSettingsBytes("COM1=" + server.Url().toLatin1());
    NetworkComm port { com1 };
    QStringList notices;

    void SetUp() override
    {
        ASSERT_TRUE(port.setPortOpen(true)) << port.errorText().toStdString();
        QObject::connect(&port, &MSComm::notice, [this](const QString& text) { notices << text; });
    }
    // The server's words, taken once the port has refused an option asked after them.
    void Tell(const QByteArray& words)
    {
        server.Send(words + TelnetCommand(TelnetDo, 99));
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return server.Received().endsWith(TelnetCommand(TelnetWont, 99)); }, 5000));
    }
    // Waits until the server got `bytes` after what it had; what came from there on, its start at most.
    QByteArray ReceivedUpTo(const QByteArray& bytes, qsizetype from)
    {
        (void)QTest::qWaitFor([&] { return server.Received().indexOf(bytes, from) >= 0; }, 5000);
        return server.Received().mid(from, 64);
    }
};

// While the server holds our output back (FLOWCONTROL-SUSPEND), data waits, within the same bound, and the
// line's commands go on; RESUME sends it.
TEST_F(OpenOnScriptedServer, DataWaitsFromSuspendToResume)
{
    Tell(TelnetSubnegotiation(TelnetComPort, QByteArray::fromHex("6c")));
    const qsizetype before = server.Received().size();
    EXPECT_TRUE(port.setOutput("held"));
    EXPECT_FALSE(port.setOutput(QByteArray(NetworkComm::OutputLimit, 'x')));
    EXPECT_EQ(port.outBufferCount(), 4);
    port.setDTREnable(false);
    EXPECT_EQ(
        ReceivedUpTo(ControlMessage(ComPortControl::DtrOff), before), ControlMessage(ComPortControl::DtrOff));
    server.Send(TelnetSubnegotiation(TelnetComPort, QByteArray::fromHex("6d")));
    EXPECT_EQ(ReceivedUpTo("held", before), ControlMessage(ComPortControl::DtrOff) + "held");
    EXPECT_EQ(notices, QStringList({ "output held up: 4 bytes waiting" }));
}

// A server that withdraws the COM-PORT-OPTION gets none of its commands any more, and the log is told.
TEST_F(OpenOnScriptedServer, AServerThatWithdrawsTheOptionGetsNoMoreOfItsCommands)
{
    Tell(TelnetCommand(TelnetDont, TelnetComPort));
    const qsizetype before = server.Received().size();
    port.setDTREnable(false), port.setRTSEnable(true), port.setHandshaking(2), port.setBreak(true);
    port.setSettings("19200,N,8,1"), port.setInBufferCount(0);
    EXPECT_TRUE(port.setOutput("data"));
    EXPECT_EQ(ReceivedUpTo("data", before), "data");
    EXPECT_EQ(notices,
        QStringList(
            { "the server withdrew RFC 2217: settings, lines and break no longer reach the device" }));
}

// A server that refuses BINARY for our data gets each CR alone as CR NUL, as the network virtual terminal has
// it.
TEST_F(OpenOnScriptedServer, DataToAServerThatRefusesBinaryFollowsTheNetworkVirtualTerminal)
{
    Tell(TelnetCommand(TelnetDont, TelnetBinary));
    const qsizetype before = server.Received().size();
    EXPECT_TRUE(port.setOutput("a\rb\r\nc\xff"));
    EXPECT_EQ(ReceivedUpTo("c", before), QByteArray("a\r\0b\r\nc\xff\xff", 9));
}

// Discarding the unread input takes all that was read from the system, the slices still to come with it.
TEST_F(OpenOnScriptedServer, DiscardingTheInputTakesTheSlicesStillToCome)
{
    port.setRThreshold(1);
    qint64 left = -1;
    QObject::connect(&port, &MSComm::onComm, [&] {
        if (left < 0)
            port.setInBufferCount(0), left = port.inBufferCount();
    });
    server.Send(QByteArray(NetworkComm::ReadAhead, 'x'));
    EXPECT_TRUE(QTest::qWaitFor([&] { return left >= 0; }, 5000));
    EXPECT_EQ(left, 0);
}

// A URL that cannot be read says what is wrong with it.
TEST(Opening, AMalformedUrlSaysWhatIsWrong)
{
    const QStringList urls = { "rfc2217://host:0", "socket://host:65536", "rfc2217://:2217" };
    const QStringList problems = { "port 0 is not a TCP port", "port 65536 is out of range", "no host" };
    for (qsizetype at = 0; at < urls.size(); ++at) {
        const PortMap com1 = PortMap::FromSettingsBytes("COM1=" + urls[at].toLatin1());
        NetworkComm port(com1);
        EXPECT_FALSE(port.setPortOpen(true));
        EXPECT_EQ(port.errorText(), urls[at] + ": " + problems[at] + ".");
    }
}

} // namespace
