#include "network/telnet_codec.h"

QByteArray TelnetEscape(QByteArrayView data, bool binary)
{
    QByteArray escaped;
    escaped.reserve(data.size() + data.count(char(TelnetIac)) + (binary ? 0 : data.count('\r')));
    for (qsizetype at = 0; at < data.size(); ++at) {
        const char byte = data[at];
        escaped.append(byte);
        if (quint8(byte) == TelnetIac)
            escaped.append(byte);
        else if (byte == '\r' && !binary && (at + 1 == data.size() || data[at + 1] != '\n'))
            escaped.append('\0');
    }
    return escaped;
}

QByteArray TelnetCommand(quint8 verb, quint8 option)
{
    QByteArray command;
    return command.append(char(TelnetIac)).append(char(verb)).append(char(option));
}

QByteArray TelnetSubnegotiation(quint8 option, QByteArrayView payload)
{
    QByteArray message;
    message.append(char(TelnetIac)).append(char(TelnetSb)).append(char(option));
    message.append(TelnetEscape(payload));
    return message.append(char(TelnetIac)).append(char(TelnetSe));
}
