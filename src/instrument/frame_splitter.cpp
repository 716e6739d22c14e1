#include "instrument/frame_splitter.h"

#include "instrument/frame_shapes.h"

namespace
{

// Longer than any frame we answer; a longer run of bytes is cut as if the line
// had fallen silent, so endless noise cannot grow the buffer.
constexpr qsizetype kLongestFrame = 4096;

struct Classified {
    FrameKind kind;
    ShapeMatch match;
};

Classified Classify(QByteArrayView buffer, quint8 modbusId, bool atGap)
{
    const Classified shapes[] = {
        { FrameKind::Hart, HartShape(buffer, atGap) },
        { FrameKind::Modbus, ModbusShape(buffer, modbusId, atGap) },
        { FrameKind::Vxb, VxbShape(buffer, atGap) },
        { FrameKind::Line, LineShape(buffer, atGap) },
    };
    for (const Classified& shape : shapes)
        if (shape.match.fit != Fit::NotThis)
            return shape;
    return { FrameKind::Unrecognised, { Fit::Complete, buffer.size() } };
}

} // namespace

FrameSplitter::FrameSplitter(quint8 modbusId)
    : modbusId_(modbusId)
{
}

std::vector<Frame> FrameSplitter::Feed(QByteArrayView bytes)
{
    buffer_.append(bytes);
    std::vector<Frame> frames = Split(false);
    if (buffer_.size() > kLongestFrame)
        for (Frame& frame : Split(true))
            frames.push_back(std::move(frame));
    return frames;
}

std::vector<Frame> FrameSplitter::Expire()
{
    return Split(true);
}

std::vector<Frame> FrameSplitter::Split(bool atGap)
{
    std::vector<Frame> frames;
    qsizetype used = 0;
    while (used < buffer_.size()) {
        const QByteArrayView rest = QByteArrayView(buffer_).sliced(used);
        const Classified next = Classify(rest, modbusId_, atGap);
        if (next.match.fit != Fit::Complete)
            break;
        frames.push_back({ next.kind, rest.first(next.match.length).toByteArray() });
        used += next.match.length;
    }
    buffer_.remove(0, used);
    return frames;
}
