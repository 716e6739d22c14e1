#include "sources/string_char_source.h"

StringCharSource::StringCharSource(QString text)
    : text(std::move(text))
{
}

bool StringCharSource::AtEnd()
{
    return position >= text.size();
}

std::optional<QChar> StringCharSource::ReadChar()
{
    if (AtEnd())
        return std::nullopt;
    return text[position++];
}
