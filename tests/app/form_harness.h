#pragma once

// What every window test uses: the window, its controls and the fake port.
#include "app/display_label.h"
#include "app/durnix_form.h"
#include "app/lamp.h"
#include "app/vb_controls.h"
#include "common/interval_timer.h"
#include "fake_comm.h"

#include <QtTest>
#include <QtWidgets>
#include <gtest/gtest.h>
#include <memory>

// A window on FakeComm with services that never block: the port-failure and
// lost-port boxes and the beep are counted, the file dialog answers what the test chose, the
// time of day is fixed and the monotonic clock moves 100 ms at every reading.
struct FormHarness {
    QTemporaryDir folder;
    FakeComm comm;
    QStringList portFailures;
    int portFailureBoxMs = 0; // how long the port-failure box stays open, in a loop of its own
    QStringList portLosses;
    int beeps = 0;
    QString fileToChoose;
    QStringList fileDialogs; // "initial folder|filter" of each dialog shown
    QString logToChoose, logFile; // the log dialog's answer; the log given at start-up
    QStringList logFailures;
    qint64 clockMs = 0;
    PortMap portMap;
    std::unique_ptr<DurnixForm> form;

    FormServices Services()
    {
        FormServices services;
        services.showPortFailure = [this](const QString& detail) {
            portFailures << detail;
            // A real modal box runs the event loop until the operator presses OK.
            if (portFailureBoxMs > 0) {
                QEventLoop box;
                QTimer::singleShot(portFailureBoxMs, &box, &QEventLoop::quit);
                box.exec();
            }
        };
        services.showPortLost = [this](QWidget*, const QString& message) { portLosses << message; };
        services.beep = [this] { ++beeps; };
        services.askFileName = [this](const QString& folder, const QString& filter) {
            fileDialogs << folder + "|" + filter;
            return fileToChoose;
        };
        services.askLogFileName = [this](const QString&) { return logToChoose; };
        services.showLogFailure = [this](QWidget*, const QString& message) { logFailures << message; };
        services.logFile = logFile;
        services.timeOfDay = [] { return QTime(9, 5, 7); };
        services.monotonicMs = [this] { return clockMs += 100; };
        services.settingsFolder = folder.path();
        services.programFolder = folder.path();
        services.portMap = &portMap;
        return services;
    }

    void WriteSettings(const QByteArray& bytes)
    {
        QFile file(folder.filePath("durnix.ini"));
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
    }

    QByteArray ReadSettings() const
    {
        QFile file(folder.filePath("durnix.ini"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    DurnixForm& Start()
    {
        form = std::make_unique<DurnixForm>(comm, Services());
        return *form;
    }
};

// A window started on the defaults, for tests that need no settings file or service of their own.
struct StartedForm : testing::Test {
    FormHarness h;
    DurnixForm& f = h.Start();
};
