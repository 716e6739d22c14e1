#pragma once

#include "instrument/virtual_display.h"

#include <QByteArray>
#include <QTime>
#include <functional>
#include <optional>

using Clock = std::function<QTime()>;
using DisplaySink = std::function<void(const QByteArray& shown)>;

// The commands the instrument understands:
//   "DISP " text   shows the text on the display and answers with no text;
//   "ID?"          answers with the name and version;
//   "TIME?"        answers with the time of day as hh:mm:ss;
//   "ECHO " text   answers with the text.
class CommandSet
{
public:
    CommandSet(int displayPositions, Clock clock, DisplaySink showDisplay);

    // The answer text, or nothing for a command we do not know.
    std::optional<QByteArray> Run(QByteArrayView command);
    // Only the two questions, which plain text lines may ask too.
    std::optional<QByteArray> Ask(QByteArrayView question) const;

private:
    VirtualDisplay display_;
    Clock clock_;
    DisplaySink showDisplay_;
};
