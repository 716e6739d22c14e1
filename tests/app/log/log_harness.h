#pragma once

#include "form_harness.h"

#include <QAction>
#include <QMenu>
#include <QTest>
#include <gtest/gtest.h>

// A window on FakeComm whose log dialog answers `logToChoose`, whose log
// failures are collected, and whose log clock moves only when the test says.
struct LogHarness : FormHarness {
    QString logToChoose;
    QStringList logDialogs; // the initial folder of each
    QStringList logFailures;
    qint64 ns = 0;
    QDateTime wall { QDate(2026, 12, 7), QTime(9, 41, 2, 123) };

    DurnixForm& StartWithLog(const QString& logFile = {})
    {
        FormServices services = Services();
        services.askLogFileName = [this](const QString& folder) {
            logDialogs << folder;
            return logToChoose;
        };
        services.showLogFailure = [this](const QString& message) { logFailures << message; };
        services.logFile = logFile;
        form = std::make_unique<DurnixForm>(comm, services);
        form->Log().SetClock({ [this] { return wall; }, [this] { return ns; } });
        return *form;
    }

    void Advance(double ms)
    {
        ns += qint64(ms * 1e6);
        wall = wall.addMSecs(qint64(ms));
    }

    QString LogPath() const { return folder.filePath("traffic.log"); }

    // The lines of the log file, header first, without their line ends.
    QStringList Lines(const QString& path) const
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QStringList lines = QString::fromUtf8(file.readAll()).split('\n');
        if (lines.last().isEmpty())
            lines.removeLast();
        return lines;
    }
    QStringList Lines() const { return Lines(LogPath()); }

    // The records of `event`, each without its time column.
    QStringList Records(const QString& event) const
    {
        QStringList found;
        for (const QString& line : Lines())
            if (line.section('\t', 1, 1) == event)
                found << line.section('\t', 1);
        return found;
    }
};

// Right-clicks `display` through the window system, as a mouse does, and picks
// `entry` from the menu that opens.
inline ::testing::AssertionResult PickFromMenu(DurnixForm& f, QWidget* display, const QString& entry)
{
    if (!f.isVisible()) {
        f.show();
        if (!QTest::qWaitForWindowExposed(&f))
            return ::testing::AssertionFailure() << "the window never showed";
    }
    QTest::mouseClick(f.windowHandle(), Qt::RightButton, {}, display->mapTo(&f, display->rect().center()));
    QMenu* menu = f.DisplayMenu;
    if (!QTest::qWaitFor([&] { return menu->isVisible(); }, 2000))
        return ::testing::AssertionFailure() << "no menu opened";
    for (QAction* action : menu->actions())
        if (action->text() == entry) {
            QTest::mouseClick(menu->windowHandle(), Qt::LeftButton, {}, menu->actionGeometry(action).center());
            if (!QTest::qWaitFor([&] { return !menu->isVisible(); }, 2000))
                return ::testing::AssertionFailure() << "the menu stayed open";
            return ::testing::AssertionSuccess();
        }
    return ::testing::AssertionFailure() << "no entry " << entry.toStdString();
}
