#pragma once

#include "serial/port_map.h"
#include "serial/serial_devices.h"

#include <QString>
#include <QTime>
#include <functional>

class QWidget;

// What the window needs from the world outside it. The program fills these
// with the real dialogs, beep and clocks; tests replace them so that nothing
// blocks and time can be chosen.
struct FormServices {
    // The modal "Failed to init Com!" box; detail names the device and the reason.
    std::function<void(const QString& detail)> showPortFailure;
    std::function<void()> beep;
    // The file-open dialog: initial folder and filter in; the full path chosen, or empty.
    std::function<QString(const QString& initialFolder, const QString& filter)> askFileName;
    // The local time of day, for running values.
    std::function<QTime()> timeOfDay;
    // A monotonic clock in milliseconds, for the break's wait.
    std::function<qint64()> monotonicMs;
    // The folder durnix.ini is read from and written to.
    QString settingsFolder;
    // The program's own folder, where the file dialog starts.
    QString programFolder;
    // The map in force: which device each COM port stands for. The ports read it when they open,
    // the port list's tooltips and the settings file show it, and the ports dialog changes it.
    PortMap* portMap = nullptr;
    // The serial devices that are there now.
    std::function<QList<SerialDevice>()> listSerialDevices = [] { return QList<SerialDevice>(); };
    // The save dialog of "Start log…": initial folder in; the path chosen, or empty.
    std::function<QString(const QString& initialFolder)> askLogFileName = [](const QString&) { return QString(); };
    // Why logging stopped or could not start. It must not wait for the operator:
    // sends and repeats go on meanwhile. The box belongs to window, as below.
    std::function<void(QWidget* window, const QString& message)> showLogFailure
        = [](QWidget*, const QString&) {};
    // A port that was open is lost; message names it and the cause. The box must not wait for the
    // operator, and belongs to window, so that closing the window still ends the program.
    std::function<void(QWidget* window, const QString& message)> showPortLost
        = [](QWidget*, const QString&) {};
    // The log to start with the window (absolute), or empty.
    QString logFile;
};

// The real services of the running program.
FormServices DesktopServices(const QString& settingsFolder, PortMap& portMap);
