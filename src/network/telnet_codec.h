#pragma once

#include <QByteArray>
#include <QByteArrayView>

// The Telnet bytes we speak.
enum TelnetByte : quint8 {
    TelnetSe = 240,
    TelnetSb = 250,
    TelnetWill = 251,
    TelnetWont = 252,
    TelnetDo = 253,
    TelnetDont = 254,
    TelnetIac = 255,
};

enum TelnetOption : quint8 {
    TelnetBinary = 0,
    TelnetSuppressGoAhead = 3,
    TelnetComPort = 44,
};

// Data with every 0xFF doubled, so that the peer cannot take it for a command. Outside binary mode a
// CR must be followed by LF or NUL: a CR that is not followed by LF in `data` goes as CR NUL.
QByteArray TelnetEscape(QByteArrayView data, bool binary = true);
// IAC verb option, as IAC WILL BINARY.
QByteArray TelnetCommand(quint8 verb, quint8 option);
// IAC SB option payload IAC SE, the payload escaped.
QByteArray TelnetSubnegotiation(quint8 option, QByteArrayView payload);
