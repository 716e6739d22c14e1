#include "log/log_events.h"

#include "serial/mscomm.h"

namespace
{

QString LineState(const char* line, bool active)
{
    return QString::fromLatin1(line) + (active ? QStringLiteral(" on") : QStringLiteral(" off"));
}

} // namespace

QString LineEventText(int commEvent, const ModemLines& lines)
{
    switch (commEvent) {
    case MSComm::comEventFrame:
        return QStringLiteral("framing error");
    case MSComm::comEventRxParity:
        return QStringLiteral("parity error");
    case MSComm::comEvCTS:
        return LineState("CTS", lines.cts);
    case MSComm::comEvDSR:
        return LineState("DSR", lines.dsr);
    case MSComm::comEvCD:
        return LineState("DCD", lines.cd);
    case MSComm::comEvRing:
        return QStringLiteral("ring");
    default:
        return {};
    }
}

QString PortOpenedText(int commPort, const QString& device, const QString& settings)
{
    return QStringLiteral("open COM%1 %2 %3").arg(commPort).arg(device, settings);
}

QString PortFailedText(int commPort, const QString& reason)
{
    return QStringLiteral("failed COM%1: %2").arg(commPort).arg(reason);
}

QString PortLostText(int commPort, const QString& reason)
{
    return QStringLiteral("lost COM%1: %2").arg(commPort).arg(reason);
}

QString PortNoticeText(int commPort, const QString& text)
{
    return QStringLiteral("COM%1: %2").arg(commPort).arg(text);
}
