#pragma once

#include <QByteArray>
#include <QList>

// One negotiation (verb WILL, WONT, DO or DONT) or subnegotiation (verb SB, with its payload), and
// where it stood in the stream: the size the data had when it ended.
struct TelnetMessage {
    quint8 verb = 0;
    quint8 option = 0;
    QByteArray payload;
    qsizetype dataBefore = 0;

    bool operator==(const TelnetMessage&) const = default;
};

// Splits a received Telnet stream into data and messages, however the stream is cut into pieces.
// Other commands (NOP, GA, ...) are dropped. A subnegotiation longer than any we take is dropped
// whole, so a peer cannot make us hold an unbounded payload.
class TelnetParser
{
public:
    static constexpr qsizetype PayloadLimit = 64;

    // Appends the data bytes to `data` and the complete messages to `messages`.
    void Feed(QByteArrayView bytes, QByteArray& data, QList<TelnetMessage>& messages);

private:
    enum class State { Data, Iac, Option, SbOption, SbData, SbIac };

    void AfterIac(quint8 byte);
    void InPayload(quint8 byte);

    State state_ = State::Data;
    TelnetMessage message_;
    bool tooLong_ = false;
};
