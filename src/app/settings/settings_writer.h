#pragma once

#include <QByteArray>
#include <QMap>
#include <QRect>
#include <QString>
#include <array>
#include <optional>

enum class SendMode { Free, Time, File };

// A recent command with the DISP and hexadecimal states remembered with it (none when never set).
struct RecentSlot {
    QString text;
    std::optional<double> disp;
    std::optional<double> hex;
};

// Everything the window keeps between runs, as it stands at close.
struct SettingsSnapshot {
    std::optional<QRect> window; // twips: left, top, outer width, outer height; only in the normal state
    int portIndex = 0; // written as the COM number, index + 1
    int baudIndex = 4, bitsIndex = 3, parIndex = 0, stopIndex = 0, protIndex = 0;
    QString addr, repeat;
    int dtr = 1, rts = 0, autoRts = 0;
    std::optional<SendMode> mode; // no "Mode" line when none is selected
    QString fileName; // written only in file mode
    int repeatOn = 0; // written only in file mode
    int timeIndex = 0;
    int hex = 0, disp = 0, aa = 0;
    QString chars;
    int noScroll = 0;
    double modeFreeDisp = 0, modeTimeDisp = 1, modeFileDisp = -1;
    std::array<RecentSlot, 5> recent;
    QString output;
    // Written after every other key of the main window: a reader that stops at a value it refuses has
    // read all the rest.
    int lowLatency = 1;
    QMap<int, QString> portMap; // COM number to device path; numbers outside 1-16 are not written
    // The traffic window's place in twips: left, top, inside width, inside height. After the main
    // window's keys, so that a reader that knows only those has read them all.
    std::optional<QRect> traffic;
};

// The whole settings file, in Windows-1252 with CR LF line ends. A text value ends at its first line
// break: the rest would otherwise be read back as lines of its own.
QByteArray WriteSettings(const SettingsSnapshot& snapshot);

// Writes "durnix.ini" in `directory` through a temporary file that replaces the old one only when
// complete, so a failed save leaves the previous settings whole.
bool SaveSettingsFile(const QString& directory, const QByteArray& bytes);
