#pragma once

#include <QSerialPort>
#include <QString>

// Why a port failed, as Qt tells it, plus whether we may read and write the device ourselves:
// Qt gives the same error for a port locked by another program and for a device we may not use.
struct PortFailure {
    QString device;
    QSerialPort::SerialPortError error = QSerialPort::UnknownError;
    QString reason;
    bool deviceAccessible = false;
};

// For the operator: the device, what went wrong, and what to do about it where that helps.
QString PortErrorText(const PortFailure& failure);
