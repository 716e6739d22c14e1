#pragma once

#include "serial/port_settings.h"

#include <QSerialPort>

// Gives the line format to a port: stored for a closed port, applied at once to an open one.
// False when the open port refuses part of it; the port then holds the reason.
bool ApplyPortSettings(QSerialPort& port, const PortSettings& settings);

// The control's handshaking modes: 0 none, 1 XON/XOFF, 2 RTS/CTS, 3 both (RTS/CTS wins).
QSerialPort::FlowControl FlowControlOf(int handshaking);
