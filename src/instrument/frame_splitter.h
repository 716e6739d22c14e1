#pragma once

#include "instrument/frame.h"

#include <QByteArray>
#include <vector>

// Cuts the incoming byte stream into frames by their shape, in a fixed order:
//   1. a run of two or more 0xFF followed by a HART delimiter is HART;
//   2. a first byte equal to the Modbus slave id is Modbus (its CRC is checked
//      later, so a slave id of 128 or more hides the VXB address of its low bits);
//   3. a first byte with bit 7 set is VXB;
//   4. text ending in CR LF is an ASCII line;
//   5. whatever is left when the line falls silent is one unrecognised frame.
// The first shape that fits, or may still fit, decides; a frame that may still
// grow waits for more bytes or for Expire().
class FrameSplitter
{
public:
    explicit FrameSplitter(quint8 modbusId);

    std::vector<Frame> Feed(QByteArrayView bytes);
    // The line has been silent for SilenceGap: no partial frame will grow any more.
    std::vector<Frame> Expire();
    bool HasPartialFrame() const { return !buffer_.isEmpty(); }

    static constexpr int SilenceGapMs = 50;

private:
    std::vector<Frame> Split(bool atGap);

    quint8 modbusId_;
    QByteArray buffer_;
};
