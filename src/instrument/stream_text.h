#pragma once

#include <QByteArray>
#include <chrono>

// The text that floods the line, paced to a number of bytes per second. The
// credit of bytes grows with time but never beyond 100 ms worth, so a peer
// that stops reading gets no burst when it reads again.
class StreamText
{
public:
    explicit StreamText(qint64 bytesPerSecond);

    // The bytes owed for the time since the last call.
    QByteArray Take(std::chrono::nanoseconds sinceLast);

private:
    double bytesPerSecond_;
    double credit_ = 0;
    qsizetype position_ = 0; // in the repeated line
};
