#pragma once

#include "exchange/exchange.h"
#include "network/network_comm.h"
#include "network/routing_comm.h"
#include "serial/port_map.h"
#include "serial/qt_serial_comm.h"

#include <QString>
#include <optional>

// The port a plan names, the way the window reaches it: COMn through the map of durnix.ini, or a
// device path or a URL given directly.
class PlanPort
{
public:
    PlanPort(const PortMap& settingsMap, const QString& name, Receiver& receiver, TrafficLog& log);

    MSComm& comm() { return routing_; }
    Exchange& exchange() { return exchange_; }
    int number() const { return number_; }
    QString device() const { return map_.DevicePath(number_); }

private:
    static PortMap MapFor(const PortMap& settingsMap, const QString& name);
    static std::optional<int> ComNumber(const QString& name);

    int number_;
    PortMap map_;
    QtSerialComm serial_;
    NetworkComm network_;
    RoutingComm routing_;
    Exchange exchange_;
};
