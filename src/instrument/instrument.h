#pragma once

#include "instrument/command_set.h"
#include "instrument/frame.h"
#include "instrument/modbus_slave.h"

struct InstrumentSettings {
    quint8 vxbAddress = 0;
    quint8 modbusId = 1;
    int displayPositions = 6;
    bool badCheck = false; // answer with a spoiled check byte or CRC
};

// The device behind the port: answers each frame as a real device of its
// framing would. An empty answer means silence.
class Instrument
{
public:
    Instrument(const InstrumentSettings& settings, Clock clock, DisplaySink showDisplay);

    QByteArray Answer(const Frame& frame);

private:
    QByteArray AnswerVxb(QByteArrayView frame);
    QByteArray AnswerLine(QByteArrayView frame) const;

    InstrumentSettings settings_;
    CommandSet commands_;
    ModbusSlave modbus_;
};
