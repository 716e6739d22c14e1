#pragma once

#include "instrument/frame_splitter.h"
#include "instrument/instrument.h"
#include "instrument/instrument_options.h"
#include "instrument/stream_text.h"

#include <chrono>
#include <deque>
#include <optional>

struct LoopCounters {
    qint64 framesReceived = 0;
    qint64 framesAnswered = 0;
    qint64 bytesIn = 0;
    qint64 bytesOut = 0;
};

// The line that benchmarks and tests read when the instrument stops.
QString SummaryLine(const LoopCounters& counters);

// Serves the port with poll(): reads requests, cuts them into frames, sends
// the answers when due and keeps the stream flowing. It sleeps in poll() until
// a byte, a deadline or a stop signal comes.
class PortLoop
{
public:
    PortLoop(int portFd, int stopFd, const InstrumentOptions& options, Instrument& instrument);

    // Until a stop signal, or a port failure.
    LoopCounters Run();

private:
    using Clock = std::chrono::steady_clock;

    bool WaitAndServe();
    int PollTimeoutMs(Clock::time_point now) const;
    bool ReadPort(Clock::time_point now);
    void Handle(const std::vector<Frame>& frames, Clock::time_point now);
    void RunTimers(Clock::time_point now);
    void FeedStream(Clock::time_point now);
    bool WritePort();

    int portFd_;
    int stopFd_;
    const InstrumentOptions& options_;
    Instrument& instrument_;
    FrameSplitter splitter_;
    std::deque<std::pair<Clock::time_point, QByteArray>> dueAnswers_;
    std::optional<StreamText> stream_;
    Clock::time_point lastStream_;
    Clock::time_point lastByte_;
    QByteArray output_;
    LoopCounters counters_;
};
