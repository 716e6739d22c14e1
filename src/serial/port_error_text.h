#pragma once

#include <QSerialPort>
#include <QString>

// Why a port failed, as Qt tells it, plus what we can see of the device ourselves: Qt gives the
// same error for a port locked by another program and for a device we may not use.
struct PortFailure {
    // Opening: the port would not open. Operating: a setting or a write was refused.
    // Lost: the device went away while the port was open.
    enum When { Opening, Operating, Lost };

    QString device;
    QSerialPort::SerialPortError error = QSerialPort::UnknownError;
    QString reason; // the system's own text
    When when = Operating;
    bool deviceAccessible = false;
    bool notADevice = false; // a regular file or a folder
};

// For the operator: the device, what went wrong in plain words, and what to do about it where
// that helps, with the system's own text in brackets.
QString PortErrorText(const PortFailure& failure);
