#include "runner/junit_file.h"

#include <QSaveFile>
#include <QXmlStreamWriter>
#include <algorithm>

namespace
{

void WriteCase(QXmlStreamWriter& xml, const QString& suite, const CheckResult& result)
{
    xml.writeStartElement(QStringLiteral("testcase"));
    xml.writeAttribute(QStringLiteral("classname"), suite);
    xml.writeAttribute(QStringLiteral("name"), result.name);
    xml.writeAttribute(QStringLiteral("time"), QString::number(result.seconds, 'f', 4));
    if (!result.passed) {
        xml.writeStartElement(QStringLiteral("failure"));
        xml.writeAttribute(QStringLiteral("message"), result.message);
        xml.writeCharacters(result.message);
        xml.writeEndElement();
    }
    xml.writeEndElement();
}

} // namespace

std::optional<QString> WriteJUnitFile(
    const QString& path, const QString& suite, const std::vector<CheckResult>& results, double seconds)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    QXmlStreamWriter xml(&file);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("testsuite"));
    xml.writeAttribute(QStringLiteral("name"), suite);
    xml.writeAttribute(QStringLiteral("tests"), QString::number(results.size()));
    const auto failures
        = std::count_if(results.begin(), results.end(), [](const auto& r) { return !r.passed; });
    xml.writeAttribute(QStringLiteral("failures"), QString::number(failures));
    xml.writeAttribute(QStringLiteral("errors"), QStringLiteral("0"));
    xml.writeAttribute(QStringLiteral("time"), QString::number(seconds, 'f', 3));
    for (const CheckResult& result : results)
        WriteCase(xml, suite, result);
    xml.writeEndElement();
    xml.writeEndDocument();
    if (xml.hasError() || !file.commit())
        return file.errorString();
    return std::nullopt;
}
