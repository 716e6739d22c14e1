// The window on network entries of the port map. The serial kind is a FakeComm, so that no pick of a
// port can reach a real device.
#include "app/form_harness.h"
#include "network/network_comm.h"
#include "network/routing_comm.h"
#include "scripted_server.h"

namespace
{

// The operator picks each port in turn. The window opens a network entry as any port, and shows why
// one cannot be opened: nothing listens, the server refuses the option or says nothing in time, or
// the host is not found (an empty label, which the resolver refuses without asking a name server).
TEST(NetworkWindow, OpensANetworkEntryAsAnyPortAndShowsWhyOneCannotBeOpened)
{
    ScriptedServer server(TelnetCommand(TelnetDo, TelnetComPort));
    ScriptedServer refusing(TelnetCommand(TelnetDont, TelnetComPort)), silent({});
    const QStringList urls = { server.Url(), QStringLiteral("rfc2217://127.0.0.1:%1").arg(FreeLoopbackPort()),
        refusing.Url(), silent.Url(), "rfc2217://a..b:2217" };
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
        QStringList({ urls[1] + ": connection refused.", urls[2] + ": the server does not offer RFC 2217.",
            urls[3] + ": the server does not offer RFC 2217.", urls[4] + ": host not found." }));
}

} // namespace
