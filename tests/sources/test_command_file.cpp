#include "sources/command_file.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

QString WriteFile(const QTemporaryDir& dir, const QByteArray& bytes)
{
    const QString path = dir.filePath("commands.txt");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        ADD_FAILURE() << "cannot write " << path.toStdString();
    return path;
}

QString ReadAll(CommandFile& file)
{
    QString text;
    while (!file.AtEnd()) {
        const std::optional<QChar> c = file.ReadChar();
        if (!c)
            break;
        text.append(*c);
    }
    return text;
}

} // namespace

TEST(CommandFile, ReadsEveryByteAsOneWindows1252Character)
{
    QTemporaryDir dir;
    CommandFile file;
    ASSERT_TRUE(file.Open(WriteFile(dir, QByteArrayLiteral("\xE4\x00\xFF\x80\r\n"))));
    EXPECT_TRUE(file.IsOpen());
    EXPECT_EQ(ReadAll(file), QString::fromUtf8("ä\0ÿ€\r\n", 10));
    EXPECT_TRUE(file.AtEnd());
    EXPECT_EQ(file.ReadChar(), std::nullopt);
}

TEST(CommandFile, ReopeningStartsFromTheBeginningAndClosingStopsReading)
{
    QTemporaryDir dir;
    const QString path = WriteFile(dir, "AB");
    CommandFile file;
    ASSERT_TRUE(file.Open(path));
    EXPECT_EQ(file.ReadChar(), QChar(u'A'));
    ASSERT_TRUE(file.Open(path));
    EXPECT_EQ(ReadAll(file), QString("AB"));
    file.Close();
    EXPECT_FALSE(file.IsOpen());
    EXPECT_TRUE(file.AtEnd());
    EXPECT_EQ(file.ReadChar(), std::nullopt);
}

TEST(CommandFile, OnlyReadableRegularFilesOpen)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath("pipe");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString paths[] = { dir.filePath("missing.txt"), dir.path(), fifo, "" };
    for (const QString& path : paths) {
        CommandFile file;
        EXPECT_FALSE(file.Open(path)) << path.toStdString();
        EXPECT_FALSE(file.IsOpen()) << path.toStdString();
        EXPECT_TRUE(file.AtEnd()) << path.toStdString();
        EXPECT_EQ(file.ReadChar(), std::nullopt) << path.toStdString();
    }
}

TEST(CommandFile, FileDeletedWhileOpenReadsOnOrFailsQuietly)
{
    QTemporaryDir dir;
    const QString path = WriteFile(dir, "HELLO");
    CommandFile file;
    ASSERT_TRUE(file.Open(path));
    EXPECT_EQ(file.ReadChar(), QChar(u'H'));
    ASSERT_TRUE(QFile::remove(path));
    EXPECT_TRUE(QString("ELLO").startsWith(ReadAll(file)));
}
