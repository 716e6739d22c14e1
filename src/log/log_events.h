#pragma once

#include <QString>

// The texts of the log's LINE and PORT records.

struct ModemLines {
    bool cts = false, dsr = false, cd = false;
};

// A line event of the serial control as the lamps show it ("framing error",
// "CTS on", "ring"); empty for a code that is no line event.
QString LineEventText(int commEvent, const ModemLines& lines);

QString PortOpenedText(int commPort, const QString& device, const QString& settings);
QString PortFailedText(int commPort, const QString& reason);
QString PortLostText(int commPort, const QString& reason);
QString PortNoticeText(int commPort, const QString& text);
