#pragma once

#include "app/durnix_form.h"
#include "network/network_comm.h"
#include "network/routing_comm.h"
#include "serial/qt_serial_comm.h"

#include <QStringList>
#include <memory>

// The real window offscreen, with the program's own pair of port kinds, COM1 on `url` and no other
// port able to reach a device. The port-failure box and the beep are counted.
class NetworkWindow
{
public:
    NetworkWindow(const QString& url, const QString& settingsFolder);
    ~NetworkWindow() { form_.reset(); } // the window goes before its port

    DurnixForm& Form() { return *form_; }
    // A free-text command in the given framing, ready to send.
    void Prepare(int protocol, const QString& command);

    const PortMap map;
    QtSerialComm serial { map };
    NetworkComm network { map };
    RoutingComm comm { serial, network, map };
    QStringList portFailures;
    int beeps = 0;

private:
    std::unique_ptr<DurnixForm> form_;
};
