#include "instrument/virtual_display.h"

namespace
{

bool IsMark(char c)
{
    return c == '.' || c == ',' || c == '!';
}

} // namespace

VirtualDisplay::VirtualDisplay(int positions)
    : positions_(positions)
    , shown_(qMax(positions, 0), ' ')
{
}

void VirtualDisplay::Show(QByteArrayView text)
{
    shown_.clear();
    int used = 0;
    bool markFits = false; // the position before may still take a mark
    for (char c : text) {
        if (IsMark(c) && markFits) {
            shown_.append(c);
            markFits = false;
            continue;
        }
        if (used >= positions_)
            break;
        shown_.append(c);
        ++used;
        markFits = !IsMark(c);
    }
    shown_.append(QByteArray(qMax(positions_ - used, 0), ' '));
}
