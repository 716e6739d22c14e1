#include "app/launch.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <gtest/gtest.h>

namespace
{

// Only what a row names (no display unless it says so), and the sanitizers' own options.
QProcessEnvironment Environment(const QStringList& variables)
{
    QProcessEnvironment environment;
    environment.insert("PATH", "/usr/bin:/bin");
    for (const char* sanitizer : { "ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS" })
        if (qEnvironmentVariableIsSet(sanitizer))
            environment.insert(sanitizer, qEnvironmentVariable(sanitizer));
    for (const QString& variable : variables)
        environment.insert(variable.section('=', 0, 0), variable.section('=', 1));
    return environment;
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What durnix says, and with which status, before any window: no display is needed for it.
TEST(Program, StopsBeforeAnyWindow)
{
    const QString version = QString("%1\\.%2").arg(DURNIX_VERSION_MAJOR).arg(DURNIX_VERSION_MINOR);
    const struct {
        QStringList arguments;
        int exitCode;
        QString out, err; // patterns of the whole outputs
    } rows[] = {
        { { "--version" }, 0, "^durnix " + version + "\n$", "^$" },
        { { "--help" }, 0, "^Usage: durnix [^$]*--log[^$]*--desktop", "^$" },
        { {}, 1, "^$", R"(^durnix: no display[^\n]*durnix-plan runs[^\n]*\n$)" },
    };
    for (const auto& row : rows) {
        QProcess durnix;
        durnix.setProcessEnvironment(Environment({}));
        durnix.start(DURNIX_PATH, row.arguments);
        ASSERT_TRUE(durnix.waitForFinished(30000));
        const QString out = durnix.readAllStandardOutput(), err = durnix.readAllStandardError();
        EXPECT_EQ(durnix.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(durnix.exitCode(), row.exitCode) << qPrintable(err);
        EXPECT_TRUE(QRegularExpression(row.out).match(out).hasMatch()) << qPrintable(out);
        EXPECT_TRUE(QRegularExpression(row.err).match(err).hasMatch()) << qPrintable(err);
    }
}

TEST(Program, NamesTheDisplayItCanUse)
{
    const struct {
        QStringList environment, arguments;
        bool canShow;
    } rows[] = {
        { { "DISPLAY=:0" }, {}, true },
        { { "WAYLAND_DISPLAY=wayland-0" }, {}, true },
        { { "DISPLAY=" }, {}, false },
        { { "QT_QPA_PLATFORM=offscreen" }, {}, true },
        { { "QT_QPA_PLATFORM=vnc:size=800x600" }, {}, true },
        { { "QT_QPA_PLATFORM=wayland;xcb", "DISPLAY=:0" }, {}, true },
        { { "QT_QPA_PLATFORM=wayland-egl", "DISPLAY=:0" }, {}, false },
        { { "QT_QPA_PLATFORM=xcb", "WAYLAND_DISPLAY=wayland-0" }, {}, false },
        { {}, { "durnix", "-platform", "offscreen" }, true },
        { { "QT_QPA_PLATFORM=offscreen" }, { "durnix", "-platform", "xcb" }, false },
    };
    for (const auto& row : rows)
        EXPECT_EQ(CanShowWindow(row.arguments, Environment(row.environment)), row.canShow)
            << qPrintable(row.environment.join(' ') + ' ' + row.arguments.join(' '));
}

TEST(Program, KeepsDesktopSettingsInTheConfigurationFolder)
{
    QTemporaryDir home;
    const struct {
        bool fromDesktop;
        QString xdgConfigHome, folder; // below home
    } rows[] = {
        { false, "/xdg", "/work" },
        { true, "/xdg", "/xdg/durnix" },
        { true, "", "/.config/durnix" },
        { true, "relative", "/.config/durnix" },
    };
    for (const auto& row : rows) {
        const QString xdg
            = row.xdgConfigHome.startsWith('/') ? home.path() + row.xdgConfigHome : row.xdgConfigHome;
        const auto environment = Environment({ "HOME=" + home.path(), "XDG_CONFIG_HOME=" + xdg });
        const QString folder = SettingsFolder(row.fromDesktop, environment, home.path() + "/work");
        EXPECT_EQ(folder, home.path() + row.folder);
        EXPECT_EQ(QDir(folder).exists(), row.fromDesktop) << qPrintable(row.folder); // created, or left alone
    }
}

// The running program reads durnix.ini, and takes a relative log path, from the folder it chose.
// Every candidate folder maps COM1 to a missing device of its own, so no real port is opened.
TEST(Program, StartedFromTheDesktopUsesTheConfigurationFolder)
{
    const struct {
        QStringList arguments;
        QString folder;
    } rows[] = { { { "--log", "t.log" }, "work" }, { { "--desktop", "--log", "t.log" }, "xdg/durnix" } };
    for (const auto& row : rows) {
        QTemporaryDir root;
        for (const QString folder : { "work", "xdg/durnix" }) {
            QDir(root.path()).mkpath(folder);
            QFile ini(root.filePath(folder + "/durnix.ini"));
            ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
            ini.write(
                ("COM1=" + root.filePath("missing-" + QString(folder).replace('/', '-')) + "\r\n").toUtf8());
        }
        QProcess durnix;
        durnix.setProcessEnvironment(Environment({ "QT_QPA_PLATFORM=offscreen", "HOME=" + root.path(),
            "XDG_CONFIG_HOME=" + root.filePath("xdg") }));
        durnix.setWorkingDirectory(root.filePath("work"));
        durnix.start(DURNIX_PATH, row.arguments);
        const QString log = root.filePath(row.folder + "/t.log");
        const QString missing = root.filePath("missing-" + QString(row.folder).replace('/', '-'));
        EXPECT_TRUE(QTest::qWaitFor([&] { return ReadFile(log).contains(missing.toUtf8()); }, 20000))
            << qPrintable(row.folder);
        durnix.kill();
        durnix.waitForFinished();
    }
}

// Ends a demo as closing its window does: its durnix ends, and the script cleans up after it.
void CloseDemoWindow(QProcess& demo)
{
    const QString children = ReadFile(QString("/proc/%1/task/%1/children").arg(demo.processId()));
    for (const QString& child : children.split(' ', Qt::SkipEmptyParts))
        if (ReadFile("/proc/" + child + "/comm").trimmed() == "durnix")
            ::kill(child.toInt(), SIGTERM);
    demo.waitForFinished(30000);
}

// Two demos side by side, each started in a folder of its own with a relative --log: each
// log is in that folder and names its own pseudo-terminal, and ending one leaves the other's.
TEST(Program, DemosSideBySideKeepTheirOwnPseudoTerminals)
{
    QTemporaryDir folders[2];
    QProcess demos[2];
    QString links[2];
    const auto closeAll = qScopeGuard([&] { CloseDemoWindow(demos[0]), CloseDemoWindow(demos[1]); });
    for (int i = 0; i < 2; ++i) {
        demos[i].setProcessEnvironment(
            Environment({ "QT_QPA_PLATFORM=offscreen", "HOME=" + folders[i].path() }));
        demos[i].setWorkingDirectory(folders[i].path());
        demos[i].start(DURNIX_DEMO_SCRIPT, { DURNIX_BUILD_DIR, "--log", "t.log" });
        links[i] = QString(DURNIX_BUILD_DIR "/demo/ttyDURNIX-%1").arg(demos[i].processId());
        const auto opened = [&] {
            return ReadFile(folders[i].filePath("t.log")).contains("open COM1 " + links[i].toUtf8());
        };
        ASSERT_TRUE(QTest::qWaitFor(opened, 30000)) << i << demos[i].readAllStandardError().constData();
    }
    const QString newest = DURNIX_BUILD_DIR "/demo/ttyDURNIX";
    EXPECT_EQ(QFileInfo(newest).symLinkTarget(), links[1]);
    CloseDemoWindow(demos[1]);
    EXPECT_FALSE(QFileInfo::exists(links[1]) || QFileInfo(newest).isSymLink());
    EXPECT_TRUE(QFileInfo(links[0]).exists()) << "the first demo's pseudo-terminal is gone";
}

} // namespace
