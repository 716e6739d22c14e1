#include "log/answer_tracker.h"

#include "command/framing.h"

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

std::optional<LoggedAnswer> AnswerTracker::Sent(qint64 nowNs)
{
    std::optional<LoggedAnswer> previous = Finish();
    sentNs_ = nowNs;
    settled_ = false;
    return previous;
}

std::optional<LoggedAnswer> AnswerTracker::Received(
    QByteArrayView chunk, bool completes, int protocolPosition, const QString& shown, qint64 nowNs)
{
    open_ = true;
    bytes_.append(chunk);
    shown_ = shown;
    lastNs_ = nowNs;
    protocol_ = protocolPosition;
    if (completes && !TakesEveryByte(protocolPosition))
        return Close(true, nowNs);
    if (bytes_.size() >= kLoggedAnswerLimit)
        return Close(TakesEveryByte(protocolPosition), nowNs);
    return std::nullopt;
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

LoggedAnswer AnswerTracker::Close(bool complete, qint64 endNs)
{
    LoggedAnswer answer { std::exchange(bytes_, {}), std::exchange(shown_, {}), {} };
    answer.outcome.complete = complete;
    answer.outcome.checkError = complete && IsVxb(protocol_) && answer.shown.endsWith(u"<BCCERR>");
    answer.outcome.nak = complete && IsVxb(protocol_) && answer.shown.startsWith(u"<NAK>");
    if (complete && sentNs_)
        answer.outcome.ms = double(endNs - *sentNs_) / kNsPerMs;
    open_ = false;
    settled_ = true;
    return answer;
}
