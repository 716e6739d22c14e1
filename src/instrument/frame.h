#pragma once

#include <QByteArray>

enum class FrameKind { Hart, Modbus, Vxb, Line, Unrecognised };

// One request as cut from the byte stream, with every byte it came with.
struct Frame {
    FrameKind kind;
    QByteArray bytes;

    friend bool operator==(const Frame&, const Frame&) = default;
};
