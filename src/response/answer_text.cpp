#include "response/answer_text.h"

#include <array>

namespace
{

QString RenderByte(int code)
{
    if (code >= 32 && code <= 126)
        return QString(QChar(code));
    const QString shown = QLatin1Char('<') + QString::number(code) + QLatin1Char('>');
    return code == 13 ? shown + QLatin1Char('\n') : shown;
}

std::array<QString, 256> RenderEveryByte()
{
    std::array<QString, 256> table;
    for (int code = 0; code < 256; ++code)
        table[code] = RenderByte(code);
    return table;
}

} // namespace

const QString& RenderedAnswerByte(char byte)
{
    static const std::array<QString, 256> table = RenderEveryByte();
    return table[static_cast<unsigned char>(byte)];
}

QString RenderAnswerText(QByteArrayView answerText)
{
    QString text;
    for (char byte : answerText)
        text.append(RenderedAnswerByte(byte));
    return text;
}
