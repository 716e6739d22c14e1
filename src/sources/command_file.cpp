#include "sources/command_file.h"

#include "common/bytes.h"

#include <QFileInfo>

bool CommandFile::Open(const QString& path)
{
    Close();
    // Devices never end and a pipe would block the window in open(), so only regular files.
    if (!QFileInfo(path).isFile())
        return false;
    file.setFileName(path);
    return file.open(QIODevice::ReadOnly);
}

void CommandFile::Close()
{
    file.close();
}

bool CommandFile::IsOpen() const
{
    return file.isOpen();
}

bool CommandFile::AtEnd()
{
    return !file.isOpen() || file.atEnd();
}

std::optional<QChar> CommandFile::ReadChar()
{
    char byte = 0;
    if (!file.isOpen() || !file.getChar(&byte))
        return std::nullopt;
    return FromWindows1252(QByteArrayView(&byte, 1)).front();
}
