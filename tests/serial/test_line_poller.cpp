// The line poller on a device of the test's own, behind its ioctl.
#include "serial/line_poller.h"
#include "serial/mscomm.h"

#include <QSignalSpy>
#include <gtest/gtest.h>
#include <linux/serial.h>
#include <sys/ioctl.h>

// Some drivers lack the event counters: their states are still watched, but a ring is seen only
// where the driver counts it.
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
    ASSERT_EQ(events.count(), 2);
    EXPECT_EQ(events.takeFirst().at(0).toInt(), MSComm::comEvDSR);
    EXPECT_EQ(events.takeFirst().at(0).toInt(), MSComm::comEvCD);
    EXPECT_TRUE(poller.Read()->cts && poller.Read()->dsr && !poller.Read()->dcd);
    counters = true;
    ASSERT_TRUE(events.wait(1000));
    EXPECT_EQ(events.takeFirst().at(0).toInt(), MSComm::comEvRing);
}
