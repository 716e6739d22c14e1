#pragma once

#include "serial/port_settings.h"

#include <QByteArray>

// The messages of the Telnet COM-PORT-OPTION. A server answers a command with its code + 100.
enum ComPortCommand : quint8 {
    SetBaudRate = 1,
    SetDataSize = 2,
    SetParity = 3,
    SetStopSize = 4,
    SetControl = 5,
    NotifyLineState = 6,
    NotifyModemState = 7,
    FlowControlSuspend = 8,
    FlowControlResume = 9,
    SetLineStateMask = 10,
    SetModemStateMask = 11,
    PurgeData = 12,
};
constexpr quint8 ComPortAnswerOffset = 100;

enum class ComPortControl : quint8 {
    NoFlowControl = 1,
    XonXoffFlowControl = 2,
    HardwareFlowControl = 3,
    BreakOn = 5,
    BreakOff = 6,
    DtrOn = 8,
    DtrOff = 9,
    RtsOn = 11,
    RtsOff = 12,
};

// The bits of NOTIFY-MODEMSTATE and NOTIFY-LINESTATE.
enum ModemStateBit : quint8 {
    DeltaCts = 0x01,
    DeltaDsr = 0x02,
    RingTrailingEdge = 0x04,
    DeltaDcd = 0x08,
    CtsOn = 0x10,
    DsrOn = 0x20,
    RingOn = 0x40,
    DcdOn = 0x80,
};
enum LineStateBit : quint8 { ParityError = 0x04, FramingError = 0x08 };

// The line format as the option names it: parity 1 none, 2 odd, 3 even, 4 mark, 5 space; stop size
// 1 one, 2 two, 3 one and a half.
struct ComPortSettings {
    quint32 speed = 0;
    quint8 dataSize = 0, parity = 0, stopSize = 0;

    bool operator==(const ComPortSettings&) const = default;
};

ComPortSettings ComPortSettingsOf(const PortSettings& settings);
// "speed,parity,data,stop" as the settings text reads, with "1.5" for that stop size.
QString ComPortSettingsText(const ComPortSettings& settings);
// The format in force, and what was asked when that differs: "4800,N,8,1, asked 19200,N,8,1".
QString SettingsInForceText(const ComPortSettings& inForce, const ComPortSettings& asked);

// One command, framed: IAC SB COM-PORT-OPTION command value IAC SE.
QByteArray ComPortMessage(quint8 command, QByteArrayView value);
QByteArray ComPortMessage(quint8 command, quint8 value);
// SET-BAUDRATE, SET-DATASIZE, SET-PARITY and SET-STOPSIZE.
QByteArray LineFormatMessages(const ComPortSettings& settings);
QByteArray ControlMessage(ComPortControl control);
// The control for the port's handshaking mode: 0 none, 1 XON/XOFF, 2 and 3 RTS/CTS.
ComPortControl FlowControlOfHandshaking(int mode);
