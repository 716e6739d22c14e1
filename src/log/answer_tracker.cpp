#include "log/answer_tracker.h"

#include "command/framing.h"

#include <algorithm>

namespace
{

constexpr double kNsPerMs = 1e6;

bool IsVxb(int protocolPosition)
{
    return protocolPosition <= VxbWrongBcc;
}

bool TakesEveryByte(int protocolPosition)
{
    return protocolPosition >= AsciiCrlf && protocolPosition <= ModbusRtu;
}

} // namespace

std::optional<LoggedAnswer> AnswerTracker::Sent(qint64 nowNs, double lineMs)
{
    std::optional<LoggedAnswer> previous = Finish();
    sentNs_ = nowNs;
    lineMs_ = lineMs;
    settled_ = false;
    return previous;
}

std::vector<LoggedAnswer> AnswerTracker::Received(
    QByteArrayView chunk, bool completes, int protocolPosition, const QString& shown, qint64 nowNs)
{
    std::vector<LoggedAnswer> records;
    if (!open_)
        Open(nowNs);
    shown_ = shown;
    lastNs_ = nowNs;
    protocol_ = protocolPosition;
    while (bytes_.size() + chunk.size() > kLoggedAnswerLimit) {
        const qsizetype room = kLoggedAnswerLimit - bytes_.size();
        bytes_.append(chunk.first(room));
        chunk = chunk.sliced(room);
        records.push_back(Close(TakesEveryByte(protocolPosition), nowNs, true));
        Open(nowNs);
        shown_ = shown;
    }
    bytes_.append(chunk);
    if (completes && !TakesEveryByte(protocolPosition))
        records.push_back(Close(true, nowNs));
    else if (bytes_.size() == kLoggedAnswerLimit)
        records.push_back(Close(TakesEveryByte(protocolPosition), nowNs, true));
    return records;
}

bool AnswerTracker::EndsWhenQuiet() const
{
    return open_ && TakesEveryByte(protocol_);
}

std::optional<LoggedAnswer> AnswerTracker::Finish()
{
    if (!open_)
        return std::nullopt;
    // An answer of every byte is complete at its first byte, and its time runs to its last.
    const bool complete = TakesEveryByte(protocol_);
    return Close(complete, lastNs_);
}

LoggedAnswer AnswerTracker::Close(bool complete, qint64 endNs, bool cut)
{
    LoggedAnswer answer { std::exchange(bytes_, {}), std::exchange(shown_, {}), {}, cut, protocol_ };
    answer.outcome.complete = complete;
    answer.outcome.checkError = complete && IsVxb(protocol_) && answer.shown.endsWith(u"<BCCERR>");
    answer.outcome.nak = complete && IsVxb(protocol_) && answer.shown.startsWith(u"<NAK>");
    if (complete && sentNs_) {
        answer.outcome.turn = SincePacketEnd(firstNs_);
        answer.outcome.ms = SincePacketEnd(endNs);
    }
    open_ = false;
    settled_ = true;
    return answer;
}

void AnswerTracker::Open(qint64 nowNs)
{
    open_ = true;
    firstNs_ = nowNs;
}

// A device cannot answer before our last byte has left; a time that says so
// (a pseudo-terminal has no line time, and some devices start early) is 0.
double AnswerTracker::SincePacketEnd(qint64 nowNs) const
{
    return std::max(0.0, double(nowNs - *sentNs_) / kNsPerMs - lineMs_);
}
