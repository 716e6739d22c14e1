#include "command/command_text.h"

#include "command/command_notation.h"
#include "command/national_characters.h"

namespace
{

std::optional<QByteArray> NotationBytes(const QByteArray& text, const DecodeOptions& options)
{
    if (!options.freeTextMode)
        return text;
    if (options.hex)
        return HexNotationBytes(text);
    return EscapedBytes(text);
}

} // namespace

std::optional<QByteArray> DecodeCommandText(const QByteArray& text, const DecodeOptions& options)
{
    const std::optional<QByteArray> notation = NotationBytes(text, options);
    if (!notation)
        return std::nullopt;
    QByteArray bytes = ReplaceNationalCharacters(*notation, options.aa);
    if (options.disp)
        bytes.prepend("DISP ");
    return bytes;
}
