#pragma once

#include <QtGlobal>

// How long automatic RTS stays raised for a packet of packetLength bytes, in
// milliseconds: the packet's time on the line plus half a character, never
// less than the whole packet's time, within 1-65535. dataBits, stopBits and
// baud are the port boxes read as numbers; parityPosition is the parity
// list's position (-1 for none selected). Inputs that make no sense give 1.
int RtsIntervalMs(qsizetype packetLength, double dataBits, int parityPosition, double stopBits, double baud);
