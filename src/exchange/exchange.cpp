#include "exchange/exchange.h"

#include "command/framing.h"
#include "command/rts_interval.h"
#include "common/bytes.h"
#include "log/traffic_log.h"
#include "response/receiver.h"
#include "serial/mscomm.h"

double LineFormat::LineMs(qsizetype length) const
{
    return PacketLineMs(length, dataBits, parityPosition, stopBits, baud);
}

int LineFormat::RtsMs(qsizetype length) const
{
    return RtsIntervalMs(length, dataBits, parityPosition, stopBits, baud);
}

std::optional<QByteArray> CommandPacket(
    const QString& commandText, const DecodeOptions& options, int protocolPosition, qint64 address)
{
    const auto command = DecodeCommandText(ToWindows1252(commandText), options);
    if (!command)
        return std::nullopt;
    return FramePacket(*command, protocolPosition, address);
}

Exchange::Exchange(MSComm& comm, Receiver& receiver, TrafficLog& log)
    : comm_(comm)
    , receiver_(receiver)
    , log_(log)
{
}

Exchange::Written Exchange::Write(
    const QByteArray& packet, const QString& commandText, const LineFormat& format, bool autoRts)
{
    comm_.setInBufferCount(0);
    const bool raiseRts = autoRts && !comm_.rtsByDriver();
    if (raiseRts)
        comm_.setRTSEnable(true);
    Written written;
    written.taken = comm_.setOutput(packet);
    if (written.taken)
        log_.Sent(packet, commandText, format.LineMs(packet.size()));
    if (raiseRts)
        written.rtsMs = format.RtsMs(packet.size());
    return written;
}

Exchange::Received Exchange::Receive(bool startsAnswer, int protocolPosition)
{
    if (startsAnswer)
        receiver_.StartAnswer();
    Received received;
    received.chunk = comm_.input();
    received.completes = receiver_.Feed(received.chunk, protocolPosition);
    log_.Received(received.chunk, received.completes, protocolPosition, receiver_.answerDisplay());
    return received;
}
