#include "command/national_characters.h"

#include <array>

namespace
{

struct NationalCharacter {
    unsigned char byte;
    const char* withAa;
    const char* plain;
};

constexpr std::array<NationalCharacter, 10> Table { {
    { 0xE4, "#A", "A" },
    { 0xC4, "#A", "A" },
    { 0xF6, "#O", "O" },
    { 0xD6, "#O", "O" },
    { 0xE5, "#R", "A" },
    { 0xC5, "#R", "A" },
    { 0xFC, "#U", "U" },
    { 0xDC, "#U", "U" },
    { 0xB0, "#D", "#" },
    { 0xB5, "u", "u" },
} };

void AppendReplacement(QByteArray& out, unsigned char byte, bool aaTable)
{
    for (const NationalCharacter& entry : Table) {
        if (entry.byte == byte) {
            out.append(aaTable ? entry.withAa : entry.plain);
            return;
        }
    }
    if (!aaTable)
        out.append(static_cast<char>(byte));
}

} // namespace

QByteArray ReplaceNationalCharacters(const QByteArray& bytes, bool aaTable)
{
    QByteArray out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80)
            out.append(c);
        else
            AppendReplacement(out, byte, aaTable);
    }
    return out;
}
