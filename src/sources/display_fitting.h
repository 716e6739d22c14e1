#pragma once

#include "sources/char_source.h"

#include <QString>
#include <optional>

// Display positions of a text: ".", "," and "!" share the position before them; the last
// character counts only when it is itself a mark. A 16-bit count (saturates, never overflows).
int DisplayLength(QStringView text);

// What the display steps keep between sends, for the program's lifetime.
struct DisplayFitting {
    QString displayBuffer; // DisplayBuffer
    QString carryOver;     // CarryOver
};

// The scrolling step (no-scroll box unchecked). Returns the text to write into the command box, or
// std::nullopt when the step ends silently (a failed read) leaving the box unchanged.
std::optional<QString> ScrollStep(DisplayFitting& fitting, CharSource& file, int displayLength);
// The piece step (no-scroll box checked). Same return convention.
std::optional<QString> PieceStep(DisplayFitting& fitting, CharSource& file, int displayLength);
