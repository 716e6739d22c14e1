#include "network/routing_comm.h"

#include "network/network_address.h"

RoutingComm::RoutingComm(MSComm& serial, MSComm& network, const PortMap& portMap, QObject* parent)
    : MSComm(parent)
    , serial_(serial)
    , network_(network)
    , portMap_(portMap)
    , current_(&serial)
{
    Pass(serial);
    Pass(network);
}

// The port is closed when the number is set, so the kind left behind has nothing more to tell.
bool RoutingComm::setCommPort(int port)
{
    current_ = NamesNetworkPort(portMap_.DevicePath(port)) ? &network_ : &serial_;
    return current_->setCommPort(port);
}

bool RoutingComm::setAutoRts(bool on)
{
    (current_ == &serial_ ? network_ : serial_).setAutoRts(on);
    return current_->setAutoRts(on);
}

void RoutingComm::Pass(MSComm& kind)
{
    connect(&kind, &MSComm::onComm, this, [this, &kind] {
        if (current_ == &kind)
            emit onComm();
    });
    connect(&kind, &MSComm::portLost, this, [this, &kind] {
        if (current_ == &kind)
            emit portLost();
    });
    connect(&kind, &MSComm::notice, this, [this, &kind](const QString& text) {
        if (current_ == &kind)
            emit notice(text);
    });
}
