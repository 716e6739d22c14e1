#pragma once

#include "log/run_statistics.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

// An answer as its log record gives it.
struct LoggedAnswer {
    QByteArray bytes;
    QString shown; // the interpreted display when the record was due
    AnswerOutcome outcome;
    bool cut = false; // closed at the record limit: the answer goes on in the next record
    int protocol = 0; // the list position of the framing it was read by
};

// Longest answer one record holds, however large the chunk that brought it; a
// device that streams without end gets a record each time this much has come.
inline constexpr qsizetype kLoggedAnswerLimit = 65536;

// Follows each answer from the write of the packet before it to the moment its
// record is due, and times it from the end of that packet on the line: the
// moment of the write plus the packet's line time. VXB and HART answers are due when their
// recogniser completes them; the framings that take every byte as the answer
// are due when the line falls quiet. Whatever is still open is due at the next
// send and when the log closes. Times are monotonic nanoseconds.
class AnswerTracker
{
public:
    // The packet has been handed to the port, and takes lineMs on the line: the
    // answer still open before it, if any.
    std::optional<LoggedAnswer> Sent(qint64 nowNs, double lineMs);
    // A chunk as the receiver took it; `completes` when a byte of it completed
    // the answer, `shown` the interpreted display after it. The records due, in order.
    std::vector<LoggedAnswer> Received(
        QByteArrayView chunk, bool completes, int protocolPosition, const QString& shown, qint64 nowNs);
    // The open answer ends when the line falls quiet.
    bool EndsWhenQuiet() const;
    // The line has fallen quiet, or the log closes: the open answer, if any.
    std::optional<LoggedAnswer> Finish();
    // Whether the latest send's answer has had its record.
    bool LatestSendSettled() const { return settled_; }

private:
    LoggedAnswer Close(bool complete, qint64 endNs, bool cut = false);
    void Open(qint64 nowNs);
    double SincePacketEnd(qint64 nowNs) const;

    std::optional<qint64> sentNs_;
    double lineMs_ = 0;
    qint64 firstNs_ = 0; // the open answer's first byte
    QByteArray bytes_;
    QString shown_;
    qint64 lastNs_ = 0;
    int protocol_ = 0;
    bool open_ = false;
    bool settled_ = true;
};
