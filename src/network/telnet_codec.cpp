#include "network/telnet_codec.h"

QByteArray TelnetEscape(QByteArrayView data)
{
    QByteArray escaped;
    escaped.reserve(data.size() + data.count(char(TelnetIac)));
    for (char byte : data) {
        escaped.append(byte);
        if (quint8(byte) == TelnetIac)
            escaped.append(byte);
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
