#pragma once

#include "response/tail_buffer.h"

#include <QByteArray>
#include <QString>

// Longest answer kept; a longer one keeps its newest bytes.
inline constexpr qsizetype kAnswerTextLimit = 32767;

// The interpreted answer together with its rendering. Both grow a byte at a time
// and drop their oldest part together, so the rendering always equals
// RenderAnswerText(bytes()) without ever rendering the whole answer again.
class AnswerTextBuffer
{
public:
    void Append(char byte);
    void Append(QByteArrayView bytes);
    // Replaces the whole answer.
    void Assign(QByteArrayView bytes);

    // Both views are valid until the next change.
    QByteArrayView bytes() const { return stored.view(); }
    QStringView rendering() const { return rendered.view(); }
    qsizetype size() const { return stored.size(); }
    bool isEmpty() const { return stored.size() == 0; }

private:
    void DropOldestByte();

    TailBuffer<QByteArray, QByteArrayView> stored;
    TailBuffer<QString, QStringView> rendered;
};
