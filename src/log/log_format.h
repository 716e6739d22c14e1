#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QString>
#include <optional>

// One line of the traffic log: tab-separated UTF-8, so that every common tool
// can read it. A record never spans lines.

// The first line of a new log file.
inline constexpr char kLogHeader[] = "time\tevent\thex\ttext\tms\tturn\n";

struct LogRecord {
    QDateTime time;
    QString event; // TX, RX, LINE, PORT or RUN
    QByteArray bytes;
    QString text;
    std::optional<double> ms;
    std::optional<double> turn;
};

// Local time with milliseconds: 2026-12-07T09:41:02.123.
QString LogTime(const QDateTime& time);
// Two upper-case digits per byte, single spaces between them.
QString LogHex(QByteArrayView bytes);
// Tabs and line breaks become <9>, <10> and <13>, so that the text stays in its column.
QString LogText(QStringView text);
// An answer as the interpreted display renders it, without the line breaks
// the display adds after each <13>.
QString LogAnswerText(QStringView rendering);
// Milliseconds with one decimal.
QString LogMs(double ms);

QByteArray FormatLogRecord(const LogRecord& record);
