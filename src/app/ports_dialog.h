#pragma once

#include "serial/port_map.h"
#include "serial/serial_devices.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

// "Durnix - Ports": what each COM port stands for, and the serial devices that are there now. The
// operator picks a port, then a device or a typed path or URL for it; OK keeps the map only once every
// URL changed here reads.
class PortsDialog : public QDialog
{
    Q_OBJECT
public:
    PortsDialog(const PortMap& map, const QList<SerialDevice>& devices, int selectedPort, QWidget* parent);

    // The map as the operator left it.
    const PortMap& Chosen() const { return map_; }

    QTableWidget* PortTable;
    QTableWidget* DeviceTable;
    QLabel* DeviceNote; // says when no device is there
    QLabel* PathLabel;
    QLineEdit* PathEdit; // what the selected port stands for; empty for its default
    QPushButton* DefaultButton;
    QLabel* Problem;

    void accept() override;

private:
    void CreatePortTable();
    void CreateDeviceTable();
    void CreatePathRow();
    int SelectedPort() const;
    void ShowSelectedPort();
    void SetPath(const QString& path);
    void UseDevice(int row);
    QString FirstProblem() const;

    PortMap map_;
    const PortMap before_;
    const QList<SerialDevice> devices_;
};
