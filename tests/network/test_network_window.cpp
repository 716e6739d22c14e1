// The window on network entries of the port map. The serial kind is a FakeComm, so that no pick of a
// port can reach a real device.
#include "app/form_harness.h"
#include "network/network_comm.h"
#include "network/routing_comm.h"
#include "scripted_server.h"

namespace
{

TEST(NetworkWindow, OpensANetworkEntryAsAnyPortAndShowsWhyOneCannotBeOpened)
{
    ScriptedServer server(TelnetCommand(TelnetDo, TelnetComPort));
    FormHarness h;
    const QString refusing = Rfc2217Url(FreeLoopbackPort());
    h.portMap.SetPath(1, Rfc2217Url(server.Port()));
    h.portMap.SetPath(2, refusing);
    NetworkComm network(h.portMap);
    RoutingComm comm(h.comm, network, h.portMap);
    DurnixForm f(comm, h.Services());
    EXPECT_TRUE(f.MSComm1.portOpen());
    EXPECT_TRUE(server.ComPortCommands().contains("01 00 00 12 c0")) << "the window's 4800 Bd";

    QTest::keyClick(f.ComboPort, Qt::Key_Down);
    EXPECT_EQ(h.portFailures, QStringList { refusing + ": connection refused." });
}

} // namespace
