#include "network/com_port_option.h"

#include "network/telnet_codec.h"

#include <QtEndian>

ComPortSettings ComPortSettingsOf(const PortSettings& settings)
{
    static constexpr quint8 parityCodes[] = { 1, 2, 3, 5, 4 }; // by PortParity: None Odd Even Space Mark
    return { quint32(settings.speed), quint8(settings.dataBits), parityCodes[int(settings.parity)],
        quint8(settings.stopBits) };
}

QString ComPortSettingsText(const ComPortSettings& settings)
{
    static constexpr QStringView parityLetters = u"?NOEMS";
    static constexpr QStringView stopSizes[] = { u"?", u"1", u"2", u"1.5" };
    return QStringLiteral("%1,%2,%3,%4")
        .arg(settings.speed)
        .arg(parityLetters[settings.parity < parityLetters.size() ? settings.parity : 0])
        .arg(settings.dataSize)
        .arg(stopSizes[settings.stopSize < 4 ? settings.stopSize : 0]);
}

QString SettingsInForceText(const ComPortSettings& inForce, const ComPortSettings& asked)
{
    const QString text = ComPortSettingsText(inForce);
    return inForce == asked ? text : QStringLiteral("%1, asked %2").arg(text, ComPortSettingsText(asked));
}

QByteArray ComPortMessage(quint8 command, QByteArrayView value)
{
    return TelnetSubnegotiation(TelnetComPort, QByteArray(1, char(command)).append(value));
}

QByteArray ComPortMessage(quint8 command, quint8 value)
{
    return ComPortMessage(command, QByteArray(1, char(value)));
}

QByteArray LineFormatMessages(const ComPortSettings& settings)
{
    char speed[4];
    qToBigEndian(settings.speed, speed);
    return ComPortMessage(SetBaudRate, QByteArrayView(speed, 4))
        + ComPortMessage(SetDataSize, settings.dataSize) + ComPortMessage(SetParity, settings.parity)
        + ComPortMessage(SetStopSize, settings.stopSize);
}

QByteArray ControlMessage(ComPortControl control)
{
    return ComPortMessage(SetControl, quint8(control));
}

ComPortControl FlowControlOfHandshaking(int mode)
{
    switch (mode) {
    case 1:
        return ComPortControl::XonXoffFlowControl;
    case 2:
    case 3:
        return ComPortControl::HardwareFlowControl;
    }
    return ComPortControl::NoFlowControl;
}
