#pragma once

#include "command/command_text.h"

#include <QByteArray>
#include <QString>
#include <optional>

class MSComm;
class Receiver;
class TrafficLog;

// The line format a packet's time on the line and automatic RTS are figured from: the port boxes
// read as numbers, the parity by its list position (0 for none).
struct LineFormat {
    double dataBits = 8;
    double stopBits = 1;
    double baud = 9600;
    int parityPosition = 0;

    double LineMs(qsizetype length) const;
    int RtsMs(qsizetype length) const;
};

// The command as the command box holds it, made into the packet of the framing at protocolPosition;
// nothing when an escape's value cannot be a byte.
std::optional<QByteArray> CommandPacket(
    const QString& commandText, const DecodeOptions& options, int protocolPosition, qint64 address);

// What a send writes and what comes back, the same for the window and for a plan: the port, the
// answer's recogniser and the traffic log. The caller keeps the state of the answer and holds RTS.
class Exchange
{
public:
    Exchange(MSComm& comm, Receiver& receiver, TrafficLog& log);

    struct Written {
        bool taken = false; // the port took the packet
        int rtsMs = 0; // how long RTS stays raised after the write; 0 when nobody need lower it
    };
    // Discards unread input, raises RTS for automatic RTS unless the driver switches it, writes the
    // packet and tells the log; `commandText` as the command box held it.
    Written Write(
        const QByteArray& packet, const QString& commandText, const LineFormat& format, bool autoRts);

    struct Received {
        QByteArray chunk;
        bool completes = false; // a byte of the chunk completed the answer
    };
    // Reads what has arrived and feeds it to the answer by the framing at protocolPosition, a new
    // answer when `startsAnswer` (the first bytes after a send); then tells the log.
    Received Receive(bool startsAnswer, int protocolPosition);

private:
    MSComm& comm_;
    Receiver& receiver_;
    TrafficLog& log_;
};
