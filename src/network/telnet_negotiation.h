#pragma once

#include "network/telnet_codec.h"

#include <QByteArray>
#include <array>

// Our side of the Telnet option negotiation: BINARY and SUPPRESS-GO-AHEAD both ways, and the
// COM-PORT-OPTION on our side; every other option is refused. A request for a state that is already
// in force is not answered, so two sides cannot keep answering each other.
class TelnetNegotiation
{
public:
    // Withdrawn: the server took the COM-PORT-OPTION and then ended it (DONT or WONT COM-PORT).
    enum class ComPort { Pending, Accepted, Refused, Withdrawn };

    // What we ask for on connecting.
    QByteArray Requests();
    // The reply to the peer's WILL, WONT, DO or DONT; empty when none is due.
    QByteArray Answer(quint8 verb, quint8 option);
    ComPort comPort() const;
    // Whether our data and the peer's go in binary mode: from our request on, until the peer refuses
    // or ends it. Otherwise that direction follows the network virtual terminal's rules.
    bool sendsBinary() const { return ours_[TelnetBinary] != State::No; }
    bool receivesBinary() const { return theirs_[TelnetBinary] != State::No; }

private:
    enum class State : quint8 { No, WantYes, Yes };
    using States = std::array<State, 256>;

    // `offered` says whether we take the option; the replies are yes and no for that side.
    static QByteArray Offer(States& side, quint8 option, bool offered, quint8 yes, quint8 no);
    static QByteArray Withdraw(States& side, quint8 option, quint8 no);
    QByteArray EndComPort();

    States ours_ {}; // options we perform (WILL / WONT from us)
    States theirs_ {}; // options the peer performs (DO / DONT from us)
    bool comPortRefused_ = false;
    bool comPortWithdrawn_ = false;
};
