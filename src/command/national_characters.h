#pragma once

#include <QByteArray>

// The instruments' displays cannot show national letters and symbols, so
// every byte above 127 is replaced: with aaTable the "#A" style spellings and
// unknown bytes dropped, otherwise plain letters and unknown bytes kept.
QByteArray ReplaceNationalCharacters(const QByteArray& bytes, bool aaTable);
