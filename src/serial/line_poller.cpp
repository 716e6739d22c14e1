#include "serial/line_poller.h"

#include <linux/serial.h>
#include <sys/ioctl.h>

namespace {

// Often enough to catch a handshake change between two packets, rare enough to cost nothing.
constexpr int PollMilliseconds = 20;

std::optional<LineReading> ReadLines(const LinePoller::Ioctl& ioctl, int fd)
{
    int status = 0;
    if (ioctl(fd, TIOCMGET, &status) != 0)
        return std::nullopt;
    LineReading reading;
    reading.cts = status & TIOCM_CTS;
    reading.dsr = status & TIOCM_DSR;
    reading.dcd = status & TIOCM_CD;
    // Without the counters (some USB adapters' drivers) the states alone are watched: changes
    // between two polls, rings and line errors go unseen there.
    serial_icounter_struct counts {};
    if (ioctl(fd, TIOCGICOUNT, &counts) == 0) {
        reading.ctsCount = counts.cts;
        reading.dsrCount = counts.dsr;
        reading.dcdCount = counts.dcd;
        reading.ringCount = counts.rng;
        reading.frameCount = counts.frame;
        reading.parityCount = counts.parity;
    }
    return reading;
}

} // namespace

LinePoller::LinePoller(QObject* parent)
    : LinePoller(SystemIoctl(), parent)
{
}

LinePoller::LinePoller(Ioctl ioctl, QObject* parent)
    : QObject(parent)
    , ioctl_(std::move(ioctl))
{
    timer_.setInterval(PollMilliseconds);
    connect(&timer_, &QTimer::timeout, this, &LinePoller::Poll);
}

void LinePoller::Start(int fd)
{
    fd_ = fd;
    detector_.Reset();
    const std::optional<LineReading> first = ReadLines(ioctl_, fd_);
    if (!first)
        return;
    detector_.Feed(*first);
    timer_.start();
}

void LinePoller::Stop()
{
    timer_.stop();
    fd_ = -1;
}

std::optional<LineReading> LinePoller::Read() const
{
    return fd_ < 0 ? std::nullopt : ReadLines(ioctl_, fd_);
}

void LinePoller::Poll()
{
    const std::optional<LineReading> reading = ReadLines(ioctl_, fd_);
    if (!reading) {
        timer_.stop();
        return;
    }
    for (int code : detector_.Feed(*reading))
        emit lineEvent(code);
}
