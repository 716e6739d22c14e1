// The line poller on a device of the test's own, behind its ioctl.
#include "serial/line_poller.h"
#include "serial/mscomm.h"

#include <QSignalSpy>
#include <QTest>
#include <cerrno>
#include <gtest/gtest.h>
#include <linux/serial.h>
#include <sys/ioctl.h>

namespace {

// A tty whose driver may lack the event counters.
struct FakeTty {
    int status = 0;
    bool counters = true;
    serial_icounter_struct counts {};

    LinePoller::Ioctl Ioctl()
    {
        return [this](int, unsigned long request, void* argument) {
            if (request == TIOCMGET) {
                *static_cast<int*>(argument) = status;
                return 0;
            }
            if (request == TIOCGICOUNT && counters) {
                *static_cast<serial_icounter_struct*>(argument) = counts;
                return 0;
            }
            errno = ENOTTY;
            return -1;
        };
    }
};

} // namespace

// Without the counters the states are still watched; with them a ring too.
TEST(LinePoller, WatchesTheLineStatesEvenWithoutTheEventCounters)
{
    for (const bool counters : {false, true}) {
        FakeTty tty;
        tty.counters = counters;
        LinePoller poller(tty.Ioctl());
        QSignalSpy events(&poller, &LinePoller::lineEvent);
        poller.Start(3);
        tty.status = TIOCM_CTS | TIOCM_CD;
        ASSERT_TRUE(events.wait(1000)) << counters;
        EXPECT_EQ(events.takeFirst().at(0).toInt(), MSComm::comEvCTS);
        ASSERT_TRUE(events.count() == 1 || events.wait(1000));
        EXPECT_EQ(events.takeFirst().at(0).toInt(), MSComm::comEvCD);
        EXPECT_TRUE(poller.Read()->cts);
        tty.counts.rng = 1;
        EXPECT_EQ(events.wait(200), counters) << "a ring is counted only where the driver counts";
    }
}
