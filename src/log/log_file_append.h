#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Why a log path is refused before anything is opened: it names something that is not a plain file
// (a folder, a FIFO, a device), whose opening or writing could hold the caller up for good.
std::optional<QString> RefusedLogPath(const QString& path);

// Appends whole records to the file at `path`, the header first when the file is empty or new. Opening
// never waits for a reader. Either every byte is written or the file is cut back to its size before the
// call, so that it never ends in the middle of a record; the reason in words when it failed.
std::optional<QString> AppendWholeRecords(
    const QString& path, const QByteArray& header, const QByteArray& records);

// A system error number in the operator's words.
QString FileErrorText(int error);
