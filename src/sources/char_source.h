#pragma once

#include <QChar>
#include <optional>

// What the display steps read from: the open command file, or a plain text in tests.
class CharSource {
public:
    virtual ~CharSource() = default;
    virtual bool AtEnd() = 0;
    // The next character, or std::nullopt when the read fails (the step then ends silently).
    virtual std::optional<QChar> ReadChar() = 0;
};
