#pragma once

#include "app/settings/setting_key.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

struct SettingLine {
    SettingKey key;
    int slot = 0; // the recent-command slot 0-4, or the n of a "COMn=" line (1-16)
    QString value; // the text after the first "=", decoded from Windows-1252
};

// The lines of a settings file that name a known key, in file order; the caller applies them one by
// one and stops at the first value it must refuse. CR LF and a bare LF both end a line. Lines without
// "=", unknown keys, recent-command lines whose slot is not 0-4 and "COMn" lines with n outside 1-16
// are left out. Keys are compared exactly; a recent-command key is recognised by its start, the slot
// being the number that follows ("Lastcmd=" is slot 0).
QList<SettingLine> ParseSettings(const QByteArray& fileBytes);

// The contents of "durnix.ini" in `directory` ("Durnix.ini" when only that exists); nullopt when there
// is no such regular file or it cannot be read, and start-up then keeps its defaults.
std::optional<QByteArray> ReadSettingsFile(const QString& directory);

// Value helpers for applying the lines. Each gives nullopt for a value that must stop the reading:
// a number too large for a 16-bit integer, a list index outside the list, a check-box state other than
// 0, 1 or 2.

// RoundHalfEven(LenientNumber(value) + offset), accepted from -1 (no selection) to listCount - 1.
// "Port" stores the COM number, so it is read with offset -1.
std::optional<int> SettingListIndex(const QString& value, int listCount, double offset = 0);
std::optional<int> SettingCheckState(const QString& value);
// A window edge or size in twips: any number, held within a range that no screen reaches, so a
// window closed far out on a second monitor never stops the reading.
int SettingTwips(const QString& value);
// The per-mode and recent DISP memories keep the number unrounded.
double SettingMemory(const QString& value);
