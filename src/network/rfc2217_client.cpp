#include "network/rfc2217_client.h"

#include "network/telnet_codec.h"

#include <QtEndian>

void Rfc2217Client::Receive(QByteArrayView bytes, QByteArray& data, QByteArray& reply)
{
    QList<TelnetMessage> messages;
    parser_.Feed(bytes, data, messages);
    for (const TelnetMessage& message : messages) {
        if (message.verb != TelnetSb)
            reply += negotiation_.Answer(message.verb, message.option);
        else if (message.option == TelnetComPort && !message.payload.isEmpty())
            Take(message.payload);
    }
}

// A value of the wrong length, or an answer of 0 (the server only telling that it has no value),
// changes nothing.
void Rfc2217Client::Take(const QByteArray& payload)
{
    const quint8 command = quint8(payload[0]) - ComPortAnswerOffset;
    const QByteArrayView value = QByteArrayView(payload).sliced(1);
    if (command == SetBaudRate && value.size() == 4) {
        if (const quint32 speed = qFromBigEndian<quint32>(value.data()))
            inForce_.speed = speed;
        return;
    }
    if (value.size() != 1)
        return;
    const quint8 byte = quint8(value[0]);
    switch (command) {
    case NotifyModemState:
        return TakeModemState(byte);
    case NotifyLineState:
        return TakeLineState(byte);
    case SetDataSize:
        inForce_.dataSize = byte ? byte : inForce_.dataSize;
        return;
    case SetParity:
        inForce_.parity = byte ? byte : inForce_.parity;
        return;
    case SetStopSize:
        inForce_.stopSize = byte ? byte : inForce_.stopSize;
        return;
    }
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
