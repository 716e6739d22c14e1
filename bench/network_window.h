#pragma once

#include "app/durnix_form.h"
#include "live_window.h"
#include "network/network_comm.h"
#include "network/routing_comm.h"
#include "serial/qt_serial_comm.h"

#include <QComboBox>
#include <QStringList>
#include <memory>

using CountingNetworkComm = Counting<NetworkComm>;

// The real window offscreen, with the program's own pair of port kinds, COM1 on `url` and no other
// port able to reach a device. The port-failure box and the beep are counted.
class NetworkWindow
{
public:
    NetworkWindow(const QString& url, const QString& settingsFolder);

    DurnixForm& Form() { return *form_; }
    // A command in the given framing, ready to send from the fresh window's free text.
    void Prepare(int protocol, const QString& command)
    {
        form_->ComboProt->setCurrentIndex(protocol);
        form_->TextOutput->setEditText(command);
    }

    PortMap map; // the map in force
    QtSerialComm serial { map };
    CountingNetworkComm network { map };
    RoutingComm comm { serial, network, map };
    QStringList portFailures;
    int beeps = 0;

private:
    std::unique_ptr<DurnixForm> form_; // declared last: the window goes before its ports
};
