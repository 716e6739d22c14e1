#pragma once

#include "network/com_port_option.h"
#include "network/telnet_negotiation.h"
#include "network/telnet_parser.h"
#include "serial/line_change_detector.h"

// The Telnet connection with the COM-PORT-OPTION, without the socket: the bytes of the server become
// port data, the replies the negotiation needs, the remote modem lines and line errors, the line
// format the server says is in force and whether it holds our output back; our data becomes the
// bytes for the wire.
class Rfc2217Client
{
public:
    // A new connection, nothing of the last one kept: the negotiation requests to send first.
    QByteArray Start();
    // Data bytes are appended to `data`, the replies for the server to `reply`.
    void Receive(QByteArrayView bytes, QByteArray& data, QByteArray& reply);
    // Port data as it goes on the wire, in the mode of our direction.
    QByteArray EncodeData(QByteArrayView data) const
    {
        return TelnetEscape(data, negotiation_.sendsBinary());
    }

    TelnetNegotiation::ComPort comPort() const { return negotiation_.comPort(); }
    bool comPortActive() const { return comPort() == TelnetNegotiation::ComPort::Accepted; }
    bool comPortWithdrawn() const { return comPort() == TelnetNegotiation::ComPort::Withdrawn; }
    // From the server's FLOWCONTROL-SUSPEND until its FLOWCONTROL-RESUME, or until it withdraws the
    // option.
    bool outputSuspended() const { return suspended_; }

    // The lines as the server last told them. Every change the server reports, even a pulse it
    // tells by its delta bit alone, moves a counter, which LineChangeDetector turns into events.
    const LineReading& lines() const { return lines_; }

    // The format just asked for: each part stands as asked until the server answers it, and then as
    // the server's latest answer.
    void Requested(const ComPortSettings& settings);
    const ComPortSettings& settingsInForce() const { return inForce_; }
    const ComPortSettings& settingsAsked() const { return asked_; }
    // Whether the server has answered every part of the last request.
    bool formatAnswered() const { return unanswered_ == 0; }

private:
    qsizetype TakeData(QByteArray& data, qsizetype from, qsizetype to, qsizetype out);
    void Take(const TelnetMessage& message, QByteArray& reply);
    void TakeComPort(const QByteArray& payload);
    template <typename Part> void TakeAnswer(ComPortCommand command, Part& part, Part value);
    void TakeModemState(quint8 state);
    void TakeLineState(quint8 state);

    TelnetParser parser_;
    TelnetNegotiation negotiation_;
    LineReading lines_;
    ComPortSettings inForce_, asked_;
    quint8 unanswered_ = 0; // a bit per part, at its command's place
    bool suspended_ = false;
    bool afterCr_ = false; // the last data byte given out was a CR
};
