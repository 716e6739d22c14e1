#pragma once

#include "app/durnix_form.h"
#include "app/form_services.h"
#include "serial/qt_serial_comm.h"

#include <QStringList>
#include <memory>

// The real port, counting the bytes the window takes from it.
class CountingComm : public QtSerialComm
{
public:
    using QtSerialComm::QtSerialComm;
    QByteArray input() override;
    qint64 bytesRead = 0;
    qint64 largestRead = 0;
};

// Ports 2 to 16 go to paths that do not exist in `folder`, so that no pick of a port can ever
// reach a real device such as the console on /dev/ttyS0.
PortMap SealedPortMap(PortMap map, const QString& folder);
// COM1 is `com1Path`, the others sealed as above.
inline PortMap Com1Map(const QString& com1Path, const QString& folder)
{
    PortMap map;
    map.SetPath(1, com1Path);
    return SealedPortMap(map, folder);
}

// The real window, offscreen, on a real serial port, with services that never block: the
// port-failure box and the beep are counted, the file dialog chooses nothing.
class LiveWindow
{
public:
    LiveWindow(const PortMap& portMap, const QString& settingsFolder);
    ~LiveWindow() { form_.reset(); } // the window goes before the port it uses

    DurnixForm& Form() { return *form_; }
    // Sets up a free-text command with the given framing, notation and address.
    void Prepare(int protocol, const QString& command, bool hex = false, const QString& address = "0");
    // The same, then a click on Send.
    void Send(int protocol, const QString& command, bool hex = false, const QString& address = "0");

    CountingComm comm;
    QStringList portFailures;
    int beeps = 0;
    // Answers the receiver completed (ResponseState reaching 2 on a receive event).
    int completeAnswers = 0;

private:
    std::unique_ptr<DurnixForm> form_;
};
