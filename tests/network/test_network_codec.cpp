#include "network/network_address.h"
#include "network/rfc2217_client.h"
#include "network/telnet_codec.h"
#include "serial/mscomm.h"

#include <gtest/gtest.h>

namespace
{

constexpr int IAC = 255, SB = 250, SE = 240, WILL = 251, WONT = 252, DO = 253, DONT = 254, CPO = 44;

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray bytes;
    for (int value : values)
        bytes.append(char(value));
    return bytes;
}

const auto ByName = [](const auto& info) { return std::string(info.param.name); };

struct AddressCase {
    const char* name;
    const char* url;
    std::optional<NetworkAddress> address;
};

class NetworkUrl : public testing::TestWithParam<AddressCase>
{
};

TEST_P(NetworkUrl, ReadsHostAndPort)
{
    EXPECT_EQ(ParseNetworkAddress(QString::fromLatin1(GetParam().url)), GetParam().address);
}

constexpr auto Rfc = NetworkKind::Rfc2217;
INSTANTIATE_TEST_SUITE_P(Network, NetworkUrl,
    testing::Values(
        AddressCase { "Name", "rfc2217://ser2net.lab:2000", NetworkAddress { Rfc, "ser2net.lab", 2000 } },
        AddressCase {
            "Ipv4", "socket://127.0.0.1:65535", NetworkAddress { NetworkKind::Socket, "127.0.0.1", 65535 } },
        AddressCase { "Ipv6", "RFC2217://[::1]:7000", NetworkAddress { Rfc, "::1", 7000 } },
        AddressCase { "DevicePath", "/dev/ttyUSB0", std::nullopt },
        AddressCase { "NoPort", "rfc2217://host", std::nullopt },
        AddressCase { "PortOutOfRange", "socket://host:65536", std::nullopt },
        AddressCase { "PortWithSign", "socket://host:+80", std::nullopt },
        AddressCase { "Ipv6WithoutBrackets", "socket://::1:80", std::nullopt },
        AddressCase { "TrailingPath", "socket://host:80/", std::nullopt }),
    ByName);

// What one stream from a server becomes, fed whole and byte by byte.
struct StreamCase {
    const char* name;
    QByteArray stream, data;
    QList<TelnetMessage> messages;
};

class TelnetStream : public testing::TestWithParam<StreamCase>
{
};

TEST_P(TelnetStream, SplitsDataFromMessagesHoweverCut)
{
    const QByteArray& stream = GetParam().stream;
    for (const qsizetype piece : { stream.size(), qsizetype(1) }) {
        TelnetParser parser;
        QByteArray data;
        QList<TelnetMessage> messages;
        for (qsizetype at = 0; at < stream.size(); at += piece)
            parser.Feed(stream.mid(at, piece), data, messages);
        EXPECT_EQ(data, GetParam().data) << "pieces of " << piece;
        EXPECT_EQ(messages, GetParam().messages) << "pieces of " << piece;
    }
}

INSTANTIATE_TEST_SUITE_P(Network, TelnetStream,
    testing::Values(
        StreamCase { "DoubledIacIsData", Bytes({ 1, IAC, IAC, 13, 0 }), Bytes({ 1, IAC, 13, 0 }), {} },
        StreamCase {
            "NegotiationBetweenData", Bytes({ 'a', IAC, DO, 0, 'b', IAC, 241 }), "ab", { { DO, 0, {} } } },
        StreamCase { "SubnegotiationWithDoubledIac", Bytes({ IAC, SB, CPO, 101, IAC, IAC, IAC, SE, 'z' }),
            "z", { { SB, CPO, Bytes({ 101, IAC }) } } },
        StreamCase { "SubnegotiationEndedByCommand", Bytes({ IAC, SB, CPO, 107, IAC, WILL, 3 }), "",
            { { SB, CPO, Bytes({ 107 }) }, { WILL, 3, {} } } },
        StreamCase { "OverlongSubnegotiationDropped",
            Bytes({ IAC, SB, CPO }) + QByteArray(TelnetParser::PayloadLimit + 1, 'p')
                + Bytes({ IAC, SE, 'k' }),
            "k", {} }),
    ByName);

// The replies to a server's requests after our own went out.
struct NegotiationCase {
    const char* name;
    QByteArray requests, replies;
    TelnetNegotiation::ComPort comPort;
};

class Negotiation : public testing::TestWithParam<NegotiationCase>
{
};

TEST_P(Negotiation, TakesOnlyOurOptionsAndNeverRepeatsItself)
{
    TelnetNegotiation negotiation;
    negotiation.Requests();
    QByteArray replies;
    for (qsizetype at = 0; at + 2 < GetParam().requests.size(); at += 3)
        replies
            += negotiation.Answer(quint8(GetParam().requests[at + 1]), quint8(GetParam().requests[at + 2]));
    EXPECT_EQ(replies, GetParam().replies);
    EXPECT_EQ(negotiation.comPort(), GetParam().comPort);
}

using CP = TelnetNegotiation::ComPort;
INSTANTIATE_TEST_SUITE_P(Network, Negotiation,
    testing::Values(
        // ser2net's greeting: SGA both ways, ECHO offered and declined, BINARY both ways, DO COM-PORT.
        NegotiationCase { "Ser2netGreeting",
            Bytes({ IAC, WILL, 3, IAC, DO, 3, IAC, WILL, 1, IAC, DONT, 1, IAC, DO, 0, IAC, WILL, 0, IAC, DO,
                CPO }),
            Bytes({ IAC, DONT, 1 }), CP::Accepted },
        NegotiationCase { "ComPortRefused", Bytes({ IAC, DONT, CPO }), {}, CP::Refused },
        NegotiationCase { "OtherOptionsRefused", Bytes({ IAC, DO, 24, IAC, WILL, CPO }),
            Bytes({ IAC, WONT, 24, IAC, DONT, CPO }), CP::Pending },
        NegotiationCase { "RepeatsUnansweredWithdrawalConfirmed",
            Bytes({ IAC, DO, 0, IAC, DO, 0, IAC, DONT, 0, IAC, WILL, 0, IAC, WONT, 0 }),
            Bytes({ IAC, WONT, 0, IAC, DONT, 0 }), CP::Pending }),
    ByName);

// NOTIFY-MODEMSTATE and NOTIFY-LINESTATE values in, the control's events out.
struct NotificationCase {
    const char* name;
    QList<QByteArray> payloads;
    QList<int> events;
    bool cts;
};

class Notification : public testing::TestWithParam<NotificationCase>
{
};

TEST_P(Notification, DrivesTheLampsPulsesIncluded)
{
    Rfc2217Client client;
    LineChangeDetector detector;
    detector.Feed(client.lines());
    QList<int> events;
    for (const QByteArray& payload : GetParam().payloads) {
        QByteArray data, reply;
        client.Receive(TelnetSubnegotiation(CPO, payload), data, reply);
        events += detector.Feed(client.lines());
    }
    EXPECT_EQ(events, GetParam().events);
    EXPECT_EQ(client.lines().cts, GetParam().cts);
}

INSTANTIATE_TEST_SUITE_P(Network, Notification,
    testing::Values(NotificationCase { "CtsRisesOnceThenQuiet",
                        { Bytes({ 107, 0x10 }), Bytes({ 107, 0x10 }) }, { MSComm::comEvCTS }, true },
        NotificationCase {
            "ShortCtsPulseByDeltaAlone", { Bytes({ 107, 0x01 }) }, { MSComm::comEvCTS }, false },
        NotificationCase {
            "ShortRingByTrailingEdge", { Bytes({ 107, 0x04 }) }, { MSComm::comEvRing }, false },
        NotificationCase {
            "DsrAndDcd", { Bytes({ 107, 0xA0 }) }, { MSComm::comEvDSR, MSComm::comEvCD }, false },
        NotificationCase { "LineErrors", { Bytes({ 106, 0x08 }), Bytes({ 106, 0x04 }), Bytes({ 106, 0x61 }) },
            { MSComm::comEventFrame, MSComm::comEventRxParity }, false },
        NotificationCase { "MalformedIgnored", { Bytes({ 107 }), Bytes({ 107, 0x10, 0x10 }) }, {}, false }),
    ByName);

TEST(ComPortOption, SendsTheLineFormatEscapedAndTakesTheServersAnswersAsInForce)
{
    const ComPortSettings asked = ComPortSettingsOf({ 0xFF, PortParity::Mark, 7, 2 });
    EXPECT_EQ(LineFormatMessages(asked),
        Bytes({ IAC, SB, CPO, 1, 0, 0, 0, IAC, IAC, IAC, SE, IAC, SB, CPO, 2, 7, IAC, SE, IAC, SB, CPO, 3, 4,
            IAC, SE, IAC, SB, CPO, 4, 2, IAC, SE }));
    Rfc2217Client client;
    client.Requested(asked);
    QByteArray data, reply;
    for (const QByteArray& answer :
        { Bytes({ 101, 0, 0, 0x25, 0x80 }), Bytes({ 102, 0 }), Bytes({ 103, 5 }), Bytes({ 104, 3 }) })
        client.Receive(TelnetSubnegotiation(CPO, answer), data, reply);
    EXPECT_EQ(ComPortSettingsText(client.settingsInForce()), "9600,S,7,1.5");
}

} // namespace
