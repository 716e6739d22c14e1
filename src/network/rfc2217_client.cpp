#include "network/rfc2217_client.h"

#include "network/telnet_codec.h"

#include <QtEndian>

namespace
{

constexpr quint8 FormatParts
    = (1 << SetBaudRate) | (1 << SetDataSize) | (1 << SetParity) | (1 << SetStopSize);

} // namespace

QByteArray Rfc2217Client::Start()
{
    *this = {};
    return negotiation_.Requests();
}

// The data before each message is read in the mode that was in force before it.
void Rfc2217Client::Receive(QByteArrayView bytes, QByteArray& data, QByteArray& reply)
{
    QList<TelnetMessage> messages;
    qsizetype read = data.size(), kept = data.size();
    parser_.Feed(bytes, data, messages);
    for (const TelnetMessage& message : messages) {
        kept = TakeData(data, read, message.dataBefore, kept);
        read = message.dataBefore;
        Take(message, reply);
    }
    data.truncate(TakeData(data, read, data.size(), kept));
}

// Outside binary mode the server sends a CR as CR NUL, and the NUL goes. The bytes kept of
// data[from, to) move down to `out`; returns where they end.
qsizetype Rfc2217Client::TakeData(QByteArray& data, qsizetype from, qsizetype to, qsizetype out)
{
    const bool binary = negotiation_.receivesBinary();
    char* bytes = data.data();
    for (qsizetype at = from; at < to; ++at) {
        const char byte = bytes[at];
        if (binary || !afterCr_ || byte != '\0')
            bytes[out++] = byte;
        afterCr_ = byte == '\r';
    }
    return out;
}

// A withdrawn option ends its suspension, and what the server still sends for it is not taken.
void Rfc2217Client::Take(const TelnetMessage& message, QByteArray& reply)
{
    if (message.verb != TelnetSb) {
        reply += negotiation_.Answer(message.verb, message.option);
        suspended_ = suspended_ && !comPortWithdrawn();
    } else if (message.option == TelnetComPort && !message.payload.isEmpty() && !comPortWithdrawn()) {
        TakeComPort(message.payload);
    }
}

// A value of the wrong length changes nothing. SUSPEND and RESUME carry none; one that comes is
// ignored.
void Rfc2217Client::TakeComPort(const QByteArray& payload)
{
    const quint8 command = quint8(payload[0]) - ComPortAnswerOffset;
    const QByteArrayView value = QByteArrayView(payload).sliced(1);
    if (command == FlowControlSuspend || command == FlowControlResume) {
        suspended_ = command == FlowControlSuspend;
        return;
    }
    if (command == SetBaudRate && value.size() == 4)
        return TakeAnswer(SetBaudRate, inForce_.speed, qFromBigEndian<quint32>(value.data()));
    if (value.size() != 1)
        return;
    const quint8 byte = quint8(value[0]);
    switch (command) {
    case NotifyModemState:
        return TakeModemState(byte);
    case NotifyLineState:
        return TakeLineState(byte);
    case SetDataSize:
        return TakeAnswer(SetDataSize, inForce_.dataSize, byte);
    case SetParity:
        return TakeAnswer(SetParity, inForce_.parity, byte);
    case SetStopSize:
        return TakeAnswer(SetStopSize, inForce_.stopSize, byte);
    }
}

// An answer of 0 only tells that the server has no value: it neither changes the part nor answers it.
template <typename Part> void Rfc2217Client::TakeAnswer(ComPortCommand command, Part& part, Part value)
{
    if (!value)
        return;
    part = value;
    unanswered_ &= ~(1 << command);
}

void Rfc2217Client::Requested(const ComPortSettings& settings)
{
    asked_ = inForce_ = settings;
    unanswered_ = FormatParts;
}

void Rfc2217Client::TakeModemState(quint8 state)
{
    const auto follow = [state](bool& line, int& count, quint8 on, quint8 delta) {
        count += (bool(state & on) != line) || (state & delta);
        line = state & on;
    };
    follow(lines_.cts, lines_.ctsCount, CtsOn, DeltaCts);
    follow(lines_.dsr, lines_.dsrCount, DsrOn, DeltaDsr);
    follow(lines_.dcd, lines_.dcdCount, DcdOn, DeltaDcd);
    lines_.ringCount += (state & RingOn) || (state & RingTrailingEdge);
}

void Rfc2217Client::TakeLineState(quint8 state)
{
    lines_.frameCount += bool(state & FramingError);
    lines_.parityCount += bool(state & ParityError);
}
