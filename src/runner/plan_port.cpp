#include "runner/plan_port.h"

#include <QRegularExpression>

PlanPort::PlanPort(const PortMap& settingsMap, const QString& name, Receiver& receiver, TrafficLog& log)
    : number_(ComNumber(name).value_or(kFirstComPort))
    , map_(MapFor(settingsMap, name))
    , serial_(map_)
    , network_(map_)
    , routing_(serial_, network_, map_)
    , exchange_(routing_, receiver, log)
{
    routing_.setCommPort(number_);
}

// A name that is no COM port of the list stands for itself, under the first number.
std::optional<int> PlanPort::ComNumber(const QString& name)
{
    static const QRegularExpression com(
        QStringLiteral("^COM([0-9]+)$"), QRegularExpression::CaseInsensitiveOption);
    const auto match = com.match(name);
    const int number = match.hasMatch() ? match.captured(1).toInt() : 0;
    if (number < kFirstComPort || number > kLastComPort)
        return std::nullopt;
    return number;
}

PortMap PlanPort::MapFor(const PortMap& settingsMap, const QString& name)
{
    PortMap map = settingsMap;
    if (!ComNumber(name))
        map.SetPath(kFirstComPort, name);
    return map;
}
