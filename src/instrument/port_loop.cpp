#include "instrument/port_loop.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <poll.h>
#include <unistd.h>

namespace
{

using namespace std::chrono_literals;

constexpr auto kSilenceGap = std::chrono::milliseconds(FrameSplitter::SilenceGapMs);
constexpr auto kStreamTick = 10ms;
// Stream text waits while this much is still unwritten, so a peer that does
// not read cannot make us hoard memory.
constexpr qsizetype kStreamBacklog = 64 * 1024;

bool Retry()
{
    return errno == EAGAIN || errno == EINTR;
}

bool PortFailed()
{
    std::fprintf(stderr, "durnix-instrument: the port failed\n");
    return false;
}

} // namespace

QString SummaryLine(const LoopCounters& counters)
{
    return QString("durnix-instrument: received %1 frames, answered %2, %3 bytes in, %4 bytes out")
        .arg(counters.framesReceived)
        .arg(counters.framesAnswered)
        .arg(counters.bytesIn)
        .arg(counters.bytesOut);
}

PortLoop::PortLoop(int portFd, int stopFd, const InstrumentOptions& options, Instrument& instrument)
    : portFd_(portFd)
    , stopFd_(stopFd)
    , options_(options)
    , instrument_(instrument)
    , splitter_(options.settings.modbusId)
    , lastStream_(Clock::now())
{
    if (options.streamBytesPerSecond > 0)
        stream_.emplace(options.streamBytesPerSecond);
}

LoopCounters PortLoop::Run()
{
    while (WaitAndServe()) { }
    return counters_;
}

bool PortLoop::WaitAndServe()
{
    pollfd fds[2]
        = { { stopFd_, POLLIN, 0 }, { portFd_, short(POLLIN | (output_.isEmpty() ? 0 : POLLOUT)), 0 } };
    if (poll(fds, 2, PollTimeoutMs(Clock::now())) < 0)
        return errno == EINTR;
    if (fds[0].revents != 0)
        return false;
    if ((fds[1].revents & POLLIN) && !ReadPort(Clock::now()))
        return false;
    // We hold the terminal's end open ourselves, so a hang-up or error without
    // data is a broken port: stop rather than wake up for it forever.
    if ((fds[1].revents & (POLLHUP | POLLERR | POLLNVAL)) && !(fds[1].revents & POLLIN))
        return PortFailed();
    RunTimers(Clock::now());
    return WritePort();
}

int PortLoop::PollTimeoutMs(Clock::time_point now) const
{
    std::optional<Clock::time_point> next;
    const auto consider = [&next](Clock::time_point when) { next = next ? std::min(*next, when) : when; };
    if (splitter_.HasPartialFrame())
        consider(lastByte_ + kSilenceGap);
    if (!dueAnswers_.empty())
        consider(dueAnswers_.front().first);
    if (stream_)
        consider(lastStream_ + kStreamTick);
    if (!next)
        return -1;
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*next - now).count();
    return int(std::clamp<decltype(wait)>(wait, 0, 60'000));
}

bool PortLoop::ReadPort(Clock::time_point now)
{
    char buffer[64 * 1024];
    const ssize_t count = read(portFd_, buffer, sizeof buffer);
    if (count < 0 && Retry())
        return true;
    if (count <= 0)
        return PortFailed();
    counters_.bytesIn += count;
    lastByte_ = now;
    Handle(splitter_.Feed(QByteArrayView(buffer, count)), now);
    return true;
}

void PortLoop::Handle(const std::vector<Frame>& frames, Clock::time_point now)
{
    for (const Frame& frame : frames) {
        ++counters_.framesReceived;
        if (options_.silent)
            continue;
        QByteArray answer = instrument_.Answer(frame);
        if (!answer.isEmpty())
            dueAnswers_.emplace_back(now + std::chrono::milliseconds(options_.delayMs), std::move(answer));
    }
}

void PortLoop::RunTimers(Clock::time_point now)
{
    if (splitter_.HasPartialFrame() && now >= lastByte_ + kSilenceGap)
        Handle(splitter_.Expire(), now);
    while (!dueAnswers_.empty() && dueAnswers_.front().first <= now) {
        output_.append(dueAnswers_.front().second);
        ++counters_.framesAnswered;
        dueAnswers_.pop_front();
    }
    FeedStream(now);
}

void PortLoop::FeedStream(Clock::time_point now)
{
    if (!stream_ || now < lastStream_ + kStreamTick)
        return;
    if (output_.size() < kStreamBacklog)
        output_.append(stream_->Take(now - lastStream_));
    lastStream_ = now;
}

bool PortLoop::WritePort()
{
    if (output_.isEmpty())
        return true;
    const ssize_t count = write(portFd_, output_.constData(), size_t(output_.size()));
    if (count < 0)
        return Retry();
    counters_.bytesOut += count;
    output_.remove(0, count);
    return true;
}
