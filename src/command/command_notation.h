#pragma once

#include <QByteArray>
#include <optional>

// The two ways of writing bytes that a keyboard cannot type, both only in
// free-text mode.

// Pairs of hexadecimal digits; a space between pairs is skipped, anything
// else takes its place in a pair and ends the pair's number there.
QByteArray HexNotationBytes(const QByteArray& text);

// Decimal escapes such as "<13>". std::nullopt when an escape's number does
// not round to a byte value 0-255.
std::optional<QByteArray> EscapedBytes(const QByteArray& text);
