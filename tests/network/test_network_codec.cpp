#include "network/network_address.h"
#include "network/rfc2217_client.h"
#include "network/telnet_codec.h"
#include "row_names.h"
#include "serial/mscomm.h"

#include <gtest/gtest.h>

namespace
{

// Bytes written as numbers, as a Telnet trace reads.
QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray bytes;
    for (int value : values)
        bytes.append(char(value));
    return bytes;
}

constexpr int IAC = 255, SB = 250, SE = 240, WILL = 251, WONT = 252, DO = 253, DONT = 254, CPO = 44;
constexpr auto Rfc = NetworkKind::Rfc2217, Raw = NetworkKind::Socket;

// Either scheme in any case, a host name, an IPv4 address or a bracketed IPv6 address, and a port from
// 1 to 65535; for anything else what is wrong, in words.
TEST(NetworkUrl, ReadsTheKindHostAndPortOrSaysWhatIsWrong)
{
    const char* const scheme = "unknown scheme; write rfc2217://HOST:PORT or socket://HOST:PORT";
    const std::tuple<const char*, std::optional<NetworkAddress>, const char*> cases[] = {
        { "rfc2217://ser2net.lab:2000", NetworkAddress { Rfc, "ser2net.lab", 2000 }, "" },
        { "socket://127.0.0.1:65535", NetworkAddress { Raw, "127.0.0.1", 65535 }, "" },
        { "RFC2217://[::1]:7000", NetworkAddress { Rfc, "::1", 7000 }, "" },
        { "/dev/ttyUSB0", {}, scheme },
        { "telnet://host:23", {}, scheme },
        { "rfc2217://host", {}, "no port" },
        { "rfc2217://host:", {}, "no port" },
        { "rfc2217://[::1]", {}, "no port" },
        { "rfc2217://:2000", {}, "no host" },
        { "rfc2217://[]:2000", {}, "no host" },
        { "socket://host:0", {}, "port 0 is not a TCP port" },
        { "socket://host:65536", {}, "port 65536 is out of range" },
        { "socket://host:123456", {}, "port 123456 is out of range" },
        { "socket://host:2k", {}, "the port is not a number" },
        { "socket://host:-1", {}, "the port is not a number" },
        { "socket://::1:80", {}, "an IPv6 address goes in brackets: [::1]" },
        { "socket://[host]:80", {}, "[host] is not an IPv6 address" },
        { "socket://user@host:80", {}, "\"user@host\" is not a host name or an address" },
    };
    for (const auto& [url, address, problem] : cases) {
        EXPECT_EQ(ParseNetworkAddress(QString::fromLatin1(url)), address) << url;
        EXPECT_EQ(NetworkAddressProblem(QString::fromLatin1(url)), problem) << url;
    }
}

// A server's stream after our own requests went out, fed whole and byte by byte: the data, our replies,
// the line events (pulses included), whether the server takes the COM-PORT-OPTION, the format its
// answers put in force and whether it holds our output back. A new start forgets all of it.
using CP = TelnetNegotiation::ComPort;
struct StreamCase {
    const char* name;
    QByteArray stream, data, replies;
    QList<int> events = {};
    CP comPort = CP::Pending;
    const char* inForce = "0,?,0,?"; // nothing told
    bool suspended = false;
    DURNIX_PRINTS_ITS_NAME(StreamCase)
};
using ServerStream = testing::TestWithParam<StreamCase>;

TEST_P(ServerStream, GivesDataRepliesAndLineEventsHoweverCut)
{
    const StreamCase& row = GetParam();
    for (const qsizetype piece : { row.stream.size(), qsizetype(1) }) {
        Rfc2217Client client;
        client.Start();
        LineChangeDetector detector;
        detector.Feed(client.lines());
        QByteArray data, replies;
        QList<int> events;
        for (qsizetype at = 0; at < row.stream.size(); at += piece) {
            client.Receive(row.stream.mid(at, piece), data, replies);
            events += detector.Feed(client.lines());
        }
        EXPECT_EQ(std::tie(data, replies, events), std::tie(row.data, row.replies, row.events))
            << "pieces of " << piece;
        EXPECT_EQ(client.comPort(), row.comPort) << "pieces of " << piece;
        EXPECT_EQ(std::tuple(client.comPortActive(), client.comPortWithdrawn(), client.outputSuspended()),
            std::tuple(row.comPort == CP::Accepted, row.comPort == CP::Withdrawn, row.suspended))
            << "pieces of " << piece;
        EXPECT_EQ(ComPortSettingsText(client.settingsInForce()), row.inForce) << "pieces of " << piece;
    }
    Rfc2217Client client;
    QByteArray data, replies;
    client.Receive(row.stream, data, replies);
    client.Start();
    EXPECT_EQ(std::tuple(client.comPort(), client.outputSuspended(), client.lines().ctsCount),
        std::tuple(CP::Pending, false, 0));
    EXPECT_EQ(ComPortSettingsText(client.settingsInForce()), "0,?,0,?");
}

const auto Cpo = [](std::initializer_list<int> payload) { return TelnetSubnegotiation(CPO, Bytes(payload)); };
constexpr int Cts = MSComm::comEvCTS, Dsr = MSComm::comEvDSR, Cd = MSComm::comEvCD, Ring = MSComm::comEvRing;

INSTANTIATE_TEST_SUITE_P(Network, ServerStream,
    testing::ValuesIn(std::vector<StreamCase> {
        { "DoubledIacIsData", Bytes({ 1, IAC, IAC, 13, 0 }), Bytes({ 1, IAC, 13, 0 }), {} },
        { "CommandsBetweenDataAndOtherOptionsRefused",
            Bytes({ 'a', IAC, DO, 24, 'b', IAC, 241, IAC, WILL, CPO }), "ab",
            Bytes({ IAC, WONT, 24, IAC, DONT, CPO }) },
        { "SubnegotiationWithDoubledIac", Bytes({ IAC, SB, CPO, 107, IAC, IAC, IAC, SE, 'z' }), "z", {},
            { Cts, Dsr, Cd, Ring } },
        // ser2net's greeting: SGA both ways, ECHO offered and declined, BINARY both ways, DO COM-PORT.
        { "Ser2netGreeting",
            Bytes({ IAC, WILL, 3, IAC, DO, 3, IAC, WILL, 1, IAC, DONT, 1, IAC, DO, 0, IAC, WILL, 0, IAC, DO,
                CPO }),
            "", Bytes({ IAC, DONT, 1 }), {}, CP::Accepted },
        { "ComPortRefused", Bytes({ IAC, DONT, CPO }), "", {}, {}, CP::Refused },
        { "RepeatsUnansweredWithdrawalConfirmed",
            Bytes({ IAC, DO, 0, IAC, DO, 0, IAC, DONT, 0, IAC, WILL, 0, IAC, WONT, 0 }), "",
            Bytes({ IAC, WONT, 0, IAC, DONT, 0 }) },
        { "CtsRisesOnceThenQuiet", Cpo({ 107, 0x10 }) + Cpo({ 107, 0x10 }), "", {}, { Cts } },
        { "ShortCtsPulseByDeltaAlone", Cpo({ 107, 0x01 }), "", {}, { Cts } },
        { "ShortRingByTrailingEdge", Cpo({ 107, 0x04 }), "", {}, { Ring } },
        { "LineErrors", Cpo({ 106, 0x08 }) + Cpo({ 106, 0x04 }) + Cpo({ 106, 0x61 }), "", {},
            { MSComm::comEventFrame, MSComm::comEventRxParity } },
        { "MalformedIgnored", Cpo({ 107 }) + Cpo({ 107, 0x10, 0x10 }), "", {} },
        // An answer of 0 tells no value and changes nothing.
        { "FormatAnswers",
            Cpo({ 101, 0, 1, 0xC2, 0 }) + Cpo({ 102, 7 }) + Cpo({ 103, 4 }) + Cpo({ 104, 3 })
                + Cpo({ 101, 0, 0, 0, 0 }) + Cpo({ 102, 0 }) + Cpo({ 103, 0 }) + Cpo({ 104, 0 }),
            "", {}, {}, CP::Pending, "115200,M,7,1.5" },
        { "FlowControlSuspended", Cpo({ 108 }) + "x", "x", {}, {}, CP::Pending, "0,?,0,?", true },
        { "FlowControlResumed", Cpo({ 108 }) + Cpo({ 109 }), "", {} },
        // Our side ends once, confirmed once; the suspension ends with it, and what the server still
        // sends for the option is not taken.
        { "ComPortWithdrawnByDont",
            Bytes({ IAC, DO, CPO }) + Cpo({ 108 }) + Bytes({ IAC, DONT, CPO, IAC, DONT, CPO })
                + Cpo({ 107, 0x10 }) + Cpo({ 108 }),
            "", Bytes({ IAC, WONT, CPO }), {}, CP::Withdrawn },
        { "ComPortWithdrawnByWont", Bytes({ IAC, DO, CPO, IAC, WONT, CPO, IAC, WONT, CPO }), "",
            Bytes({ IAC, WONT, CPO }), {}, CP::Withdrawn },
        { "WontBeforeTakingIsNoWithdrawal", Bytes({ IAC, WONT, CPO, IAC, DO, CPO }), "", {}, {},
            CP::Accepted },
        { "TakenAgainAfterWithdrawal", Bytes({ IAC, DO, CPO, IAC, DONT, CPO, IAC, DO, CPO }), "",
            Bytes({ IAC, WONT, CPO, IAC, WILL, CPO }), {}, CP::Accepted },
        // From the refusal on, a CR comes as CR NUL (a command may stand between them) and the NUL goes.
        { "ServerRefusesBinaryForItsData",
            Bytes({ 13, 0, IAC, WONT, 0, 'a', 13, IAC, 241, 0, 13, 10, 13, 13, 0, 0, 0 }),
            Bytes({ 13, 0, 'a', 13, 13, 10, 13, 13, 0, 0 }), {} },
        { "OurBinaryRefusedOnly", Bytes({ IAC, DONT, 0, 13, 0 }), Bytes({ 13, 0 }), {} } }),
    ByName);

// Our data on the wire: 0xFF doubled always, and once the server refuses BINARY for our data, a CR that
// LF does not follow goes as CR NUL.
TEST(TelnetData, GoesOnTheWireInTheModeOfOurDirection)
{
    const QByteArray data = Bytes({ 'a', 13, 10, 13, 13, IAC, 0, 13 });
    const QByteArray binary = Bytes({ 'a', 13, 10, 13, 13, IAC, IAC, 0, 13 });
    const std::tuple<const char*, QByteArray, QByteArray> cases[] = { { "binary", {}, binary },
        { "refused", Bytes({ IAC, DONT, 0 }), Bytes({ 'a', 13, 10, 13, 0, 13, 0, IAC, IAC, 0, 13, 0 }) },
        { "refused and taken again", Bytes({ IAC, DONT, 0, IAC, DO, 0 }), binary },
        { "refused for the server's data", Bytes({ IAC, WONT, 0 }), binary } };
    for (const auto& [name, server, wire] : cases) {
        Rfc2217Client client;
        client.Start();
        QByteArray received, replies;
        client.Receive(server, received, replies);
        EXPECT_EQ(client.EncodeData(data), wire) << name;
    }
}

// Each part of the format stands as asked until the server answers it, and then as its latest answer;
// an answer of 0 answers nothing. A new request asks every part again.
TEST(SettingsInForce, AreTheServersLatestAnswersOverWhatWasAsked)
{
    const ComPortSettings fast { 19200, 8, 1, 1 }, even { 19200, 7, 3, 1 };
    const std::tuple<std::optional<ComPortSettings>, QByteArray, const char*, bool> steps[] = {
        { {}, {}, "0,?,0,?", true }, { fast, {}, "19200,N,8,1", false },
        { {}, Cpo({ 101, 0, 0, 0x25, 0x80 }), "9600,N,8,1, asked 19200,N,8,1", false },
        { {}, Cpo({ 102, 8 }) + Cpo({ 103, 1 }) + Cpo({ 104, 0 }), "9600,N,8,1, asked 19200,N,8,1", false },
        { {}, Cpo({ 104, 1 }), "9600,N,8,1, asked 19200,N,8,1", true },
        { {}, Cpo({ 101, 0, 0, 0x12, 0xC0 }), "4800,N,8,1, asked 19200,N,8,1", true },
        { even, {}, "19200,E,7,1", false },
        { {}, Cpo({ 101, 0, 0, 0x4B, 0 }) + Cpo({ 102, 7 }) + Cpo({ 103, 3 }) + Cpo({ 104, 1 }),
            "19200,E,7,1", true }
    };
    Rfc2217Client client;
    client.Start();
    for (const auto& [request, answers, text, answered] : steps) {
        if (request)
            client.Requested(*request);
        QByteArray data, replies;
        client.Receive(answers, data, replies);
        EXPECT_EQ(SettingsInForceText(client.settingsInForce(), client.settingsAsked()), text) << text;
        EXPECT_EQ(client.formatAnswered(), answered) << text;
    }
}

TEST(TelnetParser, DropsASubnegotiationLongerThanAnyWeTake)
{
    QByteArray data;
    QList<TelnetMessage> messages;
    TelnetParser().Feed(
        Bytes({ IAC, SB, CPO }) + QByteArray(TelnetParser::PayloadLimit + 1, 'p') + Bytes({ IAC, SE, 'k' }),
        data, messages);
    EXPECT_EQ(data, "k");
    EXPECT_TRUE(messages.isEmpty());
}

// The format in the option's codes and back. One and a half stop bits only ever come as an answer, as in
// the stream row FormatAnswers.
TEST(ComPortFormat, IsWrittenInTheOptionsCodesAndReadBack)
{
    const std::pair<const char*, ComPortSettings> cases[] = { { "9600,N,8,1", { 9600, 8, 1, 1 } },
        { "1200,O,5,1", { 1200, 5, 2, 1 } }, { "19200,E,7,2", { 19200, 7, 3, 2 } },
        { "4800,M,6,2", { 4800, 6, 4, 2 } }, { "115200,S,8,1", { 115200, 8, 5, 1 } } };
    for (const auto& [text, codes] : cases) {
        EXPECT_EQ(ComPortSettingsOf(ParsePortSettings(QString::fromLatin1(text)).value()), codes) << text;
        EXPECT_EQ(ComPortSettingsText(codes), text);
    }
}

} // namespace
