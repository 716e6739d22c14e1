#include "app/settings/settings_reader.h"
#include "app/settings/settings_writer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace {

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// Makes writes beyond `bytes` fail with EFBIG for the life of the object: a write failure that even
// root cannot bypass.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }

private:
    rlimit saved_ {};
    void (*previousHandler_)(int) = nullptr;
};

} // namespace

TEST(SettingsFile, SavedFileReadsBackUnderTheLowerCaseName)
{
    QTemporaryDir dir;
    ASSERT_TRUE(SaveSettingsFile(dir.path(), "Port= 2 \r\n"));
    EXPECT_EQ(FileBytes(dir.filePath("durnix.ini")), "Port= 2 \r\n");
    EXPECT_EQ(ReadSettingsFile(dir.path()), QByteArray("Port= 2 \r\n"));
}

TEST(SettingsFile, CapitalisedNameIsReadOnlyWhenTheLowerCaseOneIsMissing)
{
    QTemporaryDir dir;
    WriteFile(dir.filePath("Durnix.ini"), "Port= 5 \r\n");
    EXPECT_EQ(ReadSettingsFile(dir.path()), QByteArray("Port= 5 \r\n"));
    WriteFile(dir.filePath("durnix.ini"), "Port= 6 \r\n");
    EXPECT_EQ(ReadSettingsFile(dir.path()), QByteArray("Port= 6 \r\n"));
}

TEST(SettingsFile, WhatIsNotAReadableRegularFileGivesNothing)
{
    QTemporaryDir missing;
    EXPECT_EQ(ReadSettingsFile(missing.path()), std::nullopt) << "no file";

    QTemporaryDir directory;
    ASSERT_TRUE(QDir(directory.path()).mkdir("durnix.ini"));
    EXPECT_EQ(ReadSettingsFile(directory.path()), std::nullopt) << "a directory";

    QTemporaryDir device;
    ASSERT_TRUE(QFile::link("/dev/zero", device.filePath("durnix.ini")));
    EXPECT_EQ(ReadSettingsFile(device.path()), std::nullopt) << "a device";

    QTemporaryDir huge;
    QFile file(huge.filePath("durnix.ini"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.resize(100 * 1024 * 1024)); // sparse
    file.close();
    EXPECT_EQ(ReadSettingsFile(huge.path()), std::nullopt) << "far larger than any file we write";
}

TEST(SettingsFile, SaveIntoAMissingOrFileDirectoryFails)
{
    QTemporaryDir dir;
    EXPECT_FALSE(SaveSettingsFile(dir.filePath("missing"), "Port= 1 \r\n"));
    WriteFile(dir.filePath("plain"), "x");
    EXPECT_FALSE(SaveSettingsFile(dir.filePath("plain"), "Port= 1 \r\n"));
    EXPECT_EQ(FileBytes(dir.filePath("plain")), "x");
}

TEST(SettingsFile, FailedSaveLeavesThePreviousFileWhole)
{
    QTemporaryDir dir;
    const QByteArray previous = "Port= 4 \r\nOutput=keep me\r\n";
    WriteFile(dir.filePath("durnix.ini"), previous);
    {
        const FileSizeLimit limit(64);
        EXPECT_FALSE(SaveSettingsFile(dir.path(), QByteArray(4096, 'x')));
    }
    EXPECT_EQ(FileBytes(dir.filePath("durnix.ini")), previous);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList { "durnix.ini" }) << "no temporary left";
}
