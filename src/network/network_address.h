#pragma once

#include <QString>
#include <QStringView>
#include <optional>

// A COM port that is a TCP connection, named by a URL in the port map: rfc2217://HOST:PORT for a serial
// device server, socket://HOST:PORT for raw bytes.
enum class NetworkKind { Rfc2217, Socket };

struct NetworkAddress {
    NetworkKind kind = NetworkKind::Socket;
    QString host; // a name, an IPv4 address or an IPv6 address (without its brackets)
    quint16 port = 0;

    bool operator==(const NetworkAddress&) const = default;
};

// Whether a port map path is meant as a network port, well formed or not.
bool NamesNetworkPort(QStringView path);

// HOST is a name or IPv4 address without ':', or an IPv6 address in brackets; PORT is 1 to 65535 in
// plain digits. Nothing for any other text.
std::optional<NetworkAddress> ParseNetworkAddress(QStringView url);
// What is wrong with a URL that ParseNetworkAddress does not read, in words ("no host", "port 0 is
// not a TCP port", ...); empty for one it reads.
QString NetworkAddressProblem(QStringView url);
