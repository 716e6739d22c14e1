#pragma once

#include <QtGlobal>

#include <algorithm>

// The newest part of a buffer that keeps growing at its end. Old units are only
// marked as dropped and leave the storage in bulk once they outnumber the kept
// ones, so each unit is moved about once however small the appends are: a
// device that streams for hours costs time in proportion to what it sends.
template <typename Buffer, typename View> class TailBuffer
{
public:
    void Append(View part)
    {
        storage.append(part);
        kept += part.size();
    }

    // Drops all but the newest count units.
    void KeepLast(qsizetype count)
    {
        kept = std::clamp<qsizetype>(count, 0, kept);
        const qsizetype dropped = storage.size() - kept;
        if (dropped > kept)
            storage.remove(0, dropped);
    }

    void Clear()
    {
        storage.clear();
        kept = 0;
    }

    // Valid until the next change of the buffer.
    View view() const { return View(storage).last(kept); }
    qsizetype size() const { return kept; }

private:
    Buffer storage;
    qsizetype kept = 0;
};
