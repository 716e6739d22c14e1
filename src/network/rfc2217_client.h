#pragma once

#include "network/com_port_option.h"
#include "network/telnet_negotiation.h"
#include "network/telnet_parser.h"
#include "serial/line_change_detector.h"

// The receiving side of a Telnet connection with the COM-PORT-OPTION, without the socket: the bytes
// of the server become port data, the replies the negotiation needs, the remote modem lines and line
// errors, and the line format the server says is in force.
class Rfc2217Client
{
public:
    // The negotiation requests to send first.
    QByteArray Start() { return negotiation_.Requests(); }
    // Data bytes are appended to `data`, the replies for the server to `reply`.
    void Receive(QByteArrayView bytes, QByteArray& data, QByteArray& reply);
    TelnetNegotiation::ComPort comPort() const { return negotiation_.comPort(); }

    // The lines as the server last told them. Every change the server reports, even a pulse it
    // tells by its delta bit alone, moves a counter, which LineChangeDetector turns into events.
    const LineReading& lines() const { return lines_; }
    const ComPortSettings& settingsInForce() const { return inForce_; }
    // The format just asked for stands until the server answers otherwise.
    void Requested(const ComPortSettings& settings) { inForce_ = settings; }

private:
    void Take(const QByteArray& payload);
    void TakeModemState(quint8 state);
    void TakeLineState(quint8 state);

    TelnetParser parser_;
    TelnetNegotiation negotiation_;
    LineReading lines_;
    ComPortSettings inForce_;
};
