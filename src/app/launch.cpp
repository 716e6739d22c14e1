#include "app/launch.h"

#include <QDir>
#include <algorithm>

namespace
{

bool IsSet(const QProcessEnvironment& environment, const QString& name)
{
    return !environment.value(name).isEmpty();
}

// The platforms that talk to a display server need it named; the others (offscreen, vnc,
// linuxfb, eglfs …) draw elsewhere. Without a platform, Qt picks X11 or Wayland.
bool PlatformCanStart(const QString& platform, const QProcessEnvironment& environment)
{
    const QString name = platform.section(':', 0, 0).trimmed();
    if (name.isEmpty())
        return IsSet(environment, "DISPLAY") || IsSet(environment, "WAYLAND_DISPLAY");
    if (name == "xcb")
        return IsSet(environment, "DISPLAY");
    if (name.startsWith("wayland"))
        return IsSet(environment, "WAYLAND_DISPLAY");
    return true;
}

// The platform given by Qt's own -platform option, which wins over the environment.
QString ChosenPlatform(const QStringList& arguments, const QProcessEnvironment& environment)
{
    for (qsizetype i = 1; i + 1 < arguments.size(); ++i)
        if (arguments[i] == "-platform" || arguments[i] == "--platform")
            return arguments[i + 1];
    return environment.value("QT_QPA_PLATFORM");
}

} // namespace

void AddLaunchOptions(QCommandLineParser& parser)
{
    parser.setApplicationDescription("Durnix, a test terminal for serial instrument buses.");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption({ "log", "Record the line's traffic in <file>, appending to it.", "file" });
    parser.addOption({ "desktop",
        "Keep the settings in the user's configuration folder, as the "
        "desktop menu starts Durnix, instead of the working folder." });
}

std::optional<LaunchStop> EarlyStop(const QStringList& arguments, const QProcessEnvironment& environment)
{
    QCommandLineParser parser;
    AddLaunchOptions(parser);
    parser.parse(arguments);
    if (parser.isSet("version"))
        return LaunchStop { QString("durnix %1.%2\n").arg(DURNIX_VERSION_MAJOR).arg(DURNIX_VERSION_MINOR),
            0 };
    if (parser.isSet("help"))
        // Without the application object the parser cannot know the program's name.
        return LaunchStop { parser.helpText().replace("<executable_name>", "durnix"), 0 };
    if (!CanShowWindow(arguments, environment))
        return LaunchStop {
            "durnix: no display to show the window on (DISPLAY or WAYLAND_DISPLAY is not set); "
            "durnix-plan runs test plans without one.\n",
            1
        };
    return std::nullopt;
}

// Each entry of a list such as "wayland;xcb" is tried in turn; one that can start is enough.
bool CanShowWindow(const QStringList& arguments, const QProcessEnvironment& environment)
{
    const QStringList platforms = ChosenPlatform(arguments, environment).split(';');
    return std::any_of(platforms.begin(), platforms.end(),
        [&](const QString& platform) { return PlatformCanStart(platform, environment); });
}

QString SettingsFolder(bool fromDesktop, const QProcessEnvironment& environment, const QString& workingFolder)
{
    if (!fromDesktop)
        return workingFolder;
    // A relative XDG_CONFIG_HOME is invalid and ignored, as the base directory rules say.
    QString base = environment.value("XDG_CONFIG_HOME");
    if (!QDir::isAbsolutePath(base))
        base = environment.value("HOME") + "/.config";
    const QString folder = QDir::cleanPath(base + "/durnix");
    QDir().mkpath(folder);
    return folder;
}
