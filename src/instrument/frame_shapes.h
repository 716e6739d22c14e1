#pragma once

#include "instrument/frame.h"

#include <QByteArrayView>

// How the bytes at the start of the buffer fit one framing.
enum class Fit { NotThis, Incomplete, Complete };

struct ShapeMatch {
    Fit fit;
    qsizetype length = 0; // of the frame, when Complete
};

// Each shape looks at the buffer from its first byte. atGap says that the line
// has been silent long enough that no more bytes of this frame will come.

// Two or more 0xFF, delimiter 0x02 or 0x82, address, command, count, data, check.
ShapeMatch HartShape(QByteArrayView buffer, bool atGap);
// A first byte equal to the slave id; the length follows from the function
// code, or the silence gap ends the frame.
ShapeMatch ModbusShape(QByteArrayView buffer, quint8 slaveId, bool atGap);
// A first byte with bit 7 set, text up to ETX, then the check byte, which the
// silence gap may leave out.
ShapeMatch VxbShape(QByteArrayView buffer, bool atGap);
// Text up to and including CR LF.
ShapeMatch LineShape(QByteArrayView buffer, bool atGap);
