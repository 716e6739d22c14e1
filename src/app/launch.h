#pragma once

#include <QCommandLineParser>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <optional>

// What the command line and the environment decide before the window exists.

// The options of durnix, added to a parser.
void AddLaunchOptions(QCommandLineParser& parser);

// Help, the version, or no display to show the window on: the text to print and the exit code.
struct LaunchStop {
    QString text;
    int exitCode;
};

// Read before the application object exists, so that --version, --help and the lack of a
// display need no display. Other mistakes on the command line are left to the full parse.
std::optional<LaunchStop> EarlyStop(const QStringList& arguments, const QProcessEnvironment& environment);

// Whether a window can be shown: a display server is named, or the platform chosen needs none.
bool CanShowWindow(const QStringList& arguments, const QProcessEnvironment& environment);

// Where durnix.ini lives: the working folder, or when started from the desktop entry the
// user's configuration folder, $XDG_CONFIG_HOME/durnix (~/.config/durnix by default).
QString SettingsFolder(
    bool fromDesktop, const QProcessEnvironment& environment, const QString& workingFolder);
