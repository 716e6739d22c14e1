#pragma once

#include <QByteArray>

// A display of a fixed number of character positions. The marks ".", "," and
// "!" light up in the position of the character before them, as on a seven
// segment display; text beyond the last position is not shown.
class VirtualDisplay
{
public:
    explicit VirtualDisplay(int positions);

    void Show(QByteArrayView text);
    // What the display shows, padded with blanks to every position.
    const QByteArray& Shown() const { return shown_; }

private:
    int positions_;
    QByteArray shown_;
};
