#pragma once

#include "sources/char_source.h"

#include <QFile>

// The open command file: Windows-1252 text read one byte, one character, at a time. Reading goes
// through QFile's buffer, so a huge file costs no memory.
class CommandFile : public CharSource {
public:
    // False when the path is not a regular file that can be read (missing, unreadable, a
    // directory, a device or a pipe). Closes any file open before.
    bool Open(const QString& path);
    void Close();
    bool IsOpen() const;

    bool AtEnd() override;
    std::optional<QChar> ReadChar() override;

private:
    QFile file;
};
