#include "network/network_address.h"

#include <algorithm>

namespace
{

constexpr QStringView Rfc2217Scheme = u"rfc2217://";
constexpr QStringView SocketScheme = u"socket://";

// The problem with a port written in plain digits, or none.
QString ReadPort(QStringView text, quint16& port)
{
    if (text.isEmpty())
        return QStringLiteral("no port");
    if (!std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return QStringLiteral("the port is not a number");
    const int value = text.size() <= 5 ? text.toInt() : -1;
    if (value == 0)
        return QStringLiteral("port %1 is not a TCP port").arg(text);
    if (value < 0 || value > 65535)
        return QStringLiteral("port %1 is out of range").arg(text);
    port = quint16(value);
    return {};
}

bool PlainHost(QStringView host)
{
    return !host.isEmpty() && std::none_of(host.begin(), host.end(), [](QChar c) {
        return c == u':' || c == u'/' || c == u'[' || c == u']' || c == u'@' || c.isSpace();
    });
}

bool BracketedHost(QStringView host)
{
    return host.contains(u':') && std::all_of(host.begin(), host.end(), [](QChar c) {
        return c == u':' || c == u'.' || c == u'%' || c.isLetterOrNumber();
    });
}

// A name or an IPv4 address, or an IPv6 address in brackets, which `read` holds without them.
QString ReadHost(QStringView host, QString& read)
{
    if (host.isEmpty() || host == u"[]")
        return QStringLiteral("no host");
    const bool bracketed = host.size() > 2 && host.startsWith(u'[') && host.endsWith(u']');
    const QStringView name = bracketed ? host.sliced(1, host.size() - 2) : host;
    if (bracketed && !BracketedHost(name))
        return QStringLiteral("%1 is not an IPv6 address").arg(host);
    if (!bracketed && BracketedHost(name))
        return QStringLiteral("an IPv6 address goes in brackets: [%1]").arg(name);
    if (!bracketed && !PlainHost(name))
        return QStringLiteral("\"%1\" is not a host name or an address").arg(name);
    read = name.toString();
    return {};
}

// What is wrong with the URL, or nothing with `address` filled in.
QString ReadAddress(QStringView url, NetworkAddress& address)
{
    QStringView rest;
    if (url.startsWith(Rfc2217Scheme, Qt::CaseInsensitive)) {
        address.kind = NetworkKind::Rfc2217;
        rest = url.sliced(Rfc2217Scheme.size());
    } else if (url.startsWith(SocketScheme, Qt::CaseInsensitive)) {
        rest = url.sliced(SocketScheme.size());
    } else {
        return QStringLiteral("unknown scheme; write rfc2217://HOST:PORT or socket://HOST:PORT");
    }
    const qsizetype colon = rest.lastIndexOf(u':');
    if (colon < 0 || rest.endsWith(u']'))
        return QStringLiteral("no port");
    const QString problem = ReadPort(rest.sliced(colon + 1), address.port);
    return problem.isEmpty() ? ReadHost(rest.first(colon), address.host) : problem;
}

} // namespace

bool NamesNetworkPort(QStringView path)
{
    return path.startsWith(Rfc2217Scheme, Qt::CaseInsensitive)
        || path.startsWith(SocketScheme, Qt::CaseInsensitive);
}

std::optional<NetworkAddress> ParseNetworkAddress(QStringView url)
{
    NetworkAddress address;
    if (!ReadAddress(url, address).isEmpty())
        return std::nullopt;
    return address;
}

QString NetworkAddressProblem(QStringView url)
{
    NetworkAddress address;
    return ReadAddress(url, address);
}
