#pragma once

#include "app/durnix_form.h"
#include "serial/qt_serial_comm.h"

#include <QComboBox>
#include <QStringList>
#include <algorithm>
#include <memory>

// A port of the kind `Port`, counting the bytes the window takes from it.
template <typename Port> class Counting : public Port
{
public:
    using Port::Port;
    QByteArray input() override
    {
        const QByteArray bytes = Port::input();
        bytesRead += bytes.size();
        largestRead = std::max<qint64>(largestRead, bytes.size());
        return bytes;
    }
    qint64 bytesRead = 0;
    qint64 largestRead = 0;
};
using CountingComm = Counting<QtSerialComm>;

// COM1 is `com1Path`; ports 2 to 16 go to paths that do not exist in `folder`, so that no pick of a
// port can ever reach a real device such as the console on /dev/ttyS0.
PortMap Com1Map(const QString& com1Path, const QString& folder);

// The real window, offscreen, on a real serial port, as it starts on a fresh settings folder: free
// text, address 0, no DISP, no hex. The port-failure and lost-port boxes and the beep are counted, the file
// dialog chooses nothing.
class LiveWindow
{
public:
    LiveWindow(const PortMap& portMap, const QString& settingsFolder);

    DurnixForm& Form() { return *form_; }
    void Prepare(int protocol, const QString& command)
    {
        form_->ComboProt->setCurrentIndex(protocol);
        form_->TextOutput->setEditText(command);
    }
    // The same, then a click on Send.
    void Send(int protocol, const QString& command)
    {
        Prepare(protocol, command);
        form_->CommandSend_Click();
    }

    PortMap portMap; // the map in force, before the port that reads it
    CountingComm comm;
    QStringList portFailures, portLosses;
    int beeps = 0;

private:
    std::unique_ptr<DurnixForm> form_; // last, so the window goes before the port it uses
};
