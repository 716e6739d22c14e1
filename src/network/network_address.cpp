#include "network/network_address.h"

#include <algorithm>

namespace
{

constexpr QStringView Rfc2217Scheme = u"rfc2217://";
constexpr QStringView SocketScheme = u"socket://";

std::optional<quint16> ReadPort(QStringView text)
{
    const bool digitsOnly = !text.isEmpty() && text.size() <= 5
        && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    const int port = digitsOnly ? text.toInt() : 0;
    if (port < 1 || port > 65535)
        return std::nullopt;
    return quint16(port);
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

} // namespace

bool NamesNetworkPort(QStringView path)
{
    return path.startsWith(Rfc2217Scheme, Qt::CaseInsensitive)
        || path.startsWith(SocketScheme, Qt::CaseInsensitive);
}

std::optional<NetworkAddress> ParseNetworkAddress(QStringView url)
{
    NetworkAddress address;
    QStringView rest;
    if (url.startsWith(Rfc2217Scheme, Qt::CaseInsensitive)) {
        address.kind = NetworkKind::Rfc2217;
        rest = url.sliced(Rfc2217Scheme.size());
    } else if (url.startsWith(SocketScheme, Qt::CaseInsensitive)) {
        rest = url.sliced(SocketScheme.size());
    } else {
        return std::nullopt;
    }
    const qsizetype colon = rest.lastIndexOf(u':');
    if (colon < 0)
        return std::nullopt;
    QStringView host = rest.first(colon);
    const bool bracketed = host.startsWith(u'[') && host.endsWith(u']') && host.size() > 2;
    if (bracketed)
        host = host.sliced(1, host.size() - 2);
    const std::optional<quint16> port = ReadPort(rest.sliced(colon + 1));
    if (!port || !(bracketed ? BracketedHost(host) : PlainHost(host)))
        return std::nullopt;
    address.host = host.toString();
    address.port = *port;
    return address;
}
