#pragma once

#include <QByteArray>
#include <optional>

// The window state that decides how the command box becomes bytes.
struct DecodeOptions {
    bool freeTextMode = true; // OptionModeFree selected: hexadecimal notation or escapes apply
    bool hex = false; // CheckHex checked
    bool aa = false; // CheckAA checked: "#A" spellings, other national bytes dropped
    bool disp = false; // CheckDisp checked: "DISP " in front
};

// The command box text, already in Windows-1252, to the command bytes:
// notation, then national characters, then the "DISP " prefix.
// std::nullopt when an escape's value is outside 0-255.
std::optional<QByteArray> DecodeCommandText(const QByteArray& text, const DecodeOptions& options);
