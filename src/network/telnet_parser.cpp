#include "network/telnet_parser.h"

#include "network/telnet_codec.h"

void TelnetParser::Feed(QByteArrayView bytes, QByteArray& data, QList<TelnetMessage>& messages)
{
    for (const char c : bytes) {
        const quint8 byte = quint8(c);
        switch (state_) {
        case State::Data:
            if (byte == TelnetIac)
                state_ = State::Iac;
            else
                data.append(c);
            break;
        case State::Iac:
            if (byte == TelnetIac) {
                data.append(c);
                state_ = State::Data;
            } else {
                AfterIac(byte);
            }
            break;
        case State::Option:
            message_.option = byte;
            message_.dataBefore = data.size();
            messages.append(message_);
            state_ = State::Data;
            break;
        case State::SbOption:
            message_.option = byte;
            state_ = State::SbData;
            break;
        case State::SbData:
            if (byte == TelnetIac)
                state_ = State::SbIac;
            else
                InPayload(byte);
            break;
        case State::SbIac:
            if (byte == TelnetIac) {
                InPayload(byte);
                state_ = State::SbData;
            } else {
                // IAC SE ends the payload; a peer that forgets SE gets the same reading.
                message_.dataBefore = data.size();
                if (!tooLong_)
                    messages.append(message_);
                state_ = State::Data;
                if (byte != TelnetSe)
                    AfterIac(byte);
            }
            break;
        }
    }
}

void TelnetParser::AfterIac(quint8 byte)
{
    message_ = { byte, 0, {} };
    tooLong_ = false;
    if (byte >= TelnetWill && byte <= TelnetDont)
        state_ = State::Option;
    else if (byte == TelnetSb)
        state_ = State::SbOption;
    else
        state_ = State::Data;
}

void TelnetParser::InPayload(quint8 byte)
{
    if (message_.payload.size() < PayloadLimit)
        message_.payload.append(char(byte));
    else
        tooLong_ = true;
}
