#pragma once

#include <QtGlobal>

// dataBits, stopBits and baud are the port boxes read as numbers; parityPosition
// is the parity list's position (-1 for none selected).

// How long a packet of packetLength bytes takes on the line, in milliseconds:
// a start bit, the data bits, a parity bit unless there is none, and the stop
// bits per byte. Inputs that make no sense, or a negative length, give 0.
double PacketLineMs(
    qsizetype packetLength, double dataBits, int parityPosition, double stopBits, double baud);

// How long automatic RTS stays raised for a packet of packetLength bytes, in
// milliseconds: the packet's line time plus half a character, never less than
// the whole line time, within 1-65535. Inputs that make no sense give 1.
int RtsIntervalMs(qsizetype packetLength, double dataBits, int parityPosition, double stopBits, double baud);
