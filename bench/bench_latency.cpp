// Send latency: from CommandSend_Click to the first byte readable at the far end of the line.
// The far end is a pseudo-terminal master of our own, read with poll, so nothing but the
// window and the port stands between the click and the byte.
#include "bench_common.h"
#include "live_window.h"

#include "command/framing.h"

#include <QApplication>
#include <QTemporaryDir>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace
{

constexpr int kWarmUp = 20;
constexpr int kSends = 1000;

using Clock = std::chrono::steady_clock;

void Drain(int fd)
{
    char buffer[4096];
    while (read(fd, buffer, sizeof buffer) > 0) { }
}

} // namespace

int main(int argc, char** argv)
{
    UseOffscreenWindows();
    QApplication app(argc, argv);
    Title("send latency");

    int master = -1;
    int slave = -1;
    if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) {
        std::printf("   no pseudo-terminal: %s\n", std::strerror(errno));
        return 0;
    }
    termios raw {};
    tcgetattr(slave, &raw);
    cfmakeraw(&raw);
    tcsetattr(slave, TCSANOW, &raw);
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);

    QTemporaryDir folder;
    LiveWindow window(Com1Map(QString::fromLocal8Bit(ttyname(slave)), folder.path()), folder.path());
    DurnixForm& f = window.Form();
    if (!f.MSComm1.portOpen()) {
        std::printf("   the port did not open: %s\n", qPrintable(window.portFailures.join("; ")));
        return 0;
    }
    window.Send(VxbWithBcc, "ID?");

    std::vector<double> latencies;
    int missed = 0;
    for (int send = 0; send < kWarmUp + kSends; ++send) {
        app.processEvents();
        Drain(master);
        const Clock::time_point clicked = Clock::now();
        f.CommandSend_Click();
        pollfd readable { master, POLLIN, 0 };
        if (poll(&readable, 1, 1000) <= 0) {
            ++missed;
            continue;
        }
        const Clock::time_point arrived = Clock::now();
        if (send >= kWarmUp)
            latencies.push_back(std::chrono::duration<double, std::milli>(arrived - clicked).count());
    }

    Figure("sends measured (VXB \"ID?\", 6 bytes)", QString::number(latencies.size()));
    Figure("median", Ms(Percentile(latencies, 0.5)), "target <= 1 ms");
    Figure("p99", Ms(Percentile(latencies, 0.99)), "target <= 5 ms");
    Figure("max", Ms(Percentile(latencies, 1.0)));
    if (missed)
        Figure("sends that never arrived", QString::number(missed));
    close(master);
    close(slave);
    return 0;
}
