#include "app/settings/settings_reader.h"
#include "app/settings/settings_writer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

const QString SettingsFileName = QStringLiteral("durnix.ini");
// Where names are case-sensitive, a file carried over from a case-blind system may be spelt this way.
const QString CapitalisedFileName = QStringLiteral("Durnix.ini");

// The file we write stays below a megabyte even with every text box full, so anything larger is not
// ours. Refusing it, rather than reading it whole, keeps start-up quick and its memory bounded.
constexpr qint64 MaxSettingsFileSize = 4 * 1024 * 1024;

QFileInfo SettingsFileInfo(const QDir& dir)
{
    const QFileInfo lowerCase(dir.filePath(SettingsFileName));
    return lowerCase.exists() ? lowerCase : QFileInfo(dir.filePath(CapitalisedFileName));
}

} // namespace

std::optional<QByteArray> ReadSettingsFile(const QString& directory)
{
    const QFileInfo info = SettingsFileInfo(QDir(directory));
    // Only a regular file: opening a pipe would block and a device could be a live port.
    if (!info.isFile())
        return std::nullopt;
    QFile file(info.filePath());
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.read(MaxSettingsFileSize + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > MaxSettingsFileSize)
        return std::nullopt;
    return bytes;
}

bool SaveSettingsFile(const QString& directory, const QByteArray& bytes)
{
    QSaveFile file(QDir(directory).filePath(SettingsFileName));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // commit() misses a write that fails only when the buffer is flushed, and would put a cut-off file
    // in place; an uncommitted QSaveFile discards its temporary file.
    if (file.write(bytes) != bytes.size() || !file.flush())
        return false;
    return file.commit();
}
