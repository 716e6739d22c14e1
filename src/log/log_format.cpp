#include "log/log_format.h"

#include "common/bytes.h"

QString LogTime(const QDateTime& time)
{
    return time.toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss.zzz"));
}

QString LogHex(QByteArrayView bytes)
{
    QString text = HexText(bytes);
    text.chop(1);
    return text;
}

QString LogText(QStringView text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        if (c == u'\t' || c == u'\n' || c == u'\r')
            escaped += QLatin1Char('<') + QString::number(c.unicode()) + QLatin1Char('>');
        else
            escaped += c;
    }
    return escaped;
}

QString LogAnswerText(QStringView rendering)
{
    return LogText(rendering.toString().remove(QLatin1Char('\n')));
}

QString LogMs(double ms)
{
    return QString::number(ms, 'f', 1);
}

namespace
{

QString Column(const std::optional<double>& ms)
{
    return ms ? LogMs(*ms) : QString();
}

} // namespace

QByteArray FormatLogRecord(const LogRecord& record)
{
    const QString line = LogTime(record.time) + u'\t' + record.event + u'\t' + LogHex(record.bytes) + u'\t'
        + LogText(record.text) + u'\t' + Column(record.ms) + u'\t' + Column(record.turn) + u'\n';
    return line.toUtf8();
}
