#pragma once

#include "sources/char_source.h"

#include <QString>

// A text read from its first character to its last.
class StringCharSource : public CharSource {
public:
    explicit StringCharSource(QString text);
    bool AtEnd() override;
    std::optional<QChar> ReadChar() override;

private:
    QString text;
    qsizetype position = 0;
};
