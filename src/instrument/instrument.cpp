#include "instrument/instrument.h"

#include "instrument/hart_device.h"
#include "instrument/vxb_frames.h"

Instrument::Instrument(const InstrumentSettings& settings, Clock clock, DisplaySink showDisplay)
    : settings_(settings)
    , commands_(settings.displayPositions, std::move(clock), std::move(showDisplay))
    , modbus_(settings.modbusId)
{
}

QByteArray Instrument::Answer(const Frame& frame)
{
    switch (frame.kind) {
    case FrameKind::Hart:
        return HartAnswer(frame.bytes, settings_.badCheck);
    case FrameKind::Modbus:
        return modbus_.Reply(frame.bytes, settings_.badCheck);
    case FrameKind::Vxb:
        return AnswerVxb(frame.bytes);
    case FrameKind::Line:
        return AnswerLine(frame.bytes);
    case FrameKind::Unrecognised:
        break;
    }
    return {};
}

QByteArray Instrument::AnswerVxb(QByteArrayView frame)
{
    const VxbRequest request = ParseVxbRequest(frame);
    if (request.address != settings_.vxbAddress)
        return {};
    if (!request.checkOk)
        return VxbNak(settings_.badCheck);
    const auto command = IsRavoText(request.text) ? DecodeRavo(request.text) : request.text;
    const auto answer = command ? commands_.Run(*command) : std::nullopt;
    return answer ? VxbAck(*answer, settings_.badCheck) : VxbNak(settings_.badCheck);
}

// A question is answered, any other line comes back as it was sent.
QByteArray Instrument::AnswerLine(QByteArrayView frame) const
{
    const QByteArrayView line = frame.chopped(2);
    return commands_.Ask(line).value_or(line.toByteArray()) + "\r\n";
}
