#include "network/telnet_negotiation.h"

#include "network/telnet_codec.h"

namespace
{

bool WeTake(quint8 option)
{
    return option == TelnetBinary || option == TelnetSuppressGoAhead || option == TelnetComPort;
}

bool TheyMayTake(quint8 option)
{
    return option == TelnetBinary || option == TelnetSuppressGoAhead;
}

} // namespace

QByteArray TelnetNegotiation::Requests()
{
    QByteArray requests;
    for (const quint8 option : { TelnetBinary, TelnetSuppressGoAhead, TelnetComPort }) {
        ours_[option] = State::WantYes;
        requests += TelnetCommand(TelnetWill, option);
    }
    for (const quint8 option : { TelnetBinary, TelnetSuppressGoAhead }) {
        theirs_[option] = State::WantYes;
        requests += TelnetCommand(TelnetDo, option);
    }
    return requests;
}

QByteArray TelnetNegotiation::Answer(quint8 verb, quint8 option)
{
    switch (verb) {
    case TelnetDo:
        return Offer(ours_, option, WeTake(option), TelnetWill, TelnetWont);
    case TelnetDont:
        if (option == TelnetComPort)
            return EndComPort();
        return Withdraw(ours_, option, TelnetWont);
    case TelnetWill:
        return Offer(theirs_, option, TheyMayTake(option), TelnetDo, TelnetDont);
    case TelnetWont:
        // The server never performs COM-PORT itself; its WONT after taking ours withdraws it.
        if (option == TelnetComPort && ours_[option] == State::Yes)
            return EndComPort();
        return Withdraw(theirs_, option, TelnetDont);
    }
    return {};
}

TelnetNegotiation::ComPort TelnetNegotiation::comPort() const
{
    if (ours_[TelnetComPort] == State::Yes)
        return ComPort::Accepted;
    if (comPortWithdrawn_)
        return ComPort::Withdrawn;
    return comPortRefused_ ? ComPort::Refused : ComPort::Pending;
}

// Refused before it was taken, withdrawn after; our side ends either way, confirmed only if it was on.
QByteArray TelnetNegotiation::EndComPort()
{
    (ours_[TelnetComPort] == State::Yes ? comPortWithdrawn_ : comPortRefused_) = true;
    return Withdraw(ours_, TelnetComPort, TelnetWont);
}

QByteArray TelnetNegotiation::Offer(States& side, quint8 option, bool offered, quint8 yes, quint8 no)
{
    State& state = side[option];
    if (state == State::Yes)
        return {};
    if (!offered)
        return TelnetCommand(no, option);
    // Our own request coming back is its acknowledgement.
    const bool asked = state == State::WantYes;
    state = State::Yes;
    return asked ? QByteArray() : TelnetCommand(yes, option);
}

QByteArray TelnetNegotiation::Withdraw(States& side, quint8 option, quint8 no)
{
    State& state = side[option];
    const bool wasOn = state == State::Yes;
    state = State::No;
    return wasOn ? TelnetCommand(no, option) : QByteArray();
}
