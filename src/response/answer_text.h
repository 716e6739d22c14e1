#pragma once

#include <QByteArrayView>
#include <QString>

// How an answer is shown: codes 32 to 126 stand for themselves, every other code
// c is "<c>" in decimal, and "<13>" is followed by a line break so that the
// label breaks the line where the device did.
QString RenderAnswerText(QByteArrayView answerText);

// The rendering of one byte; the same object for every call with that byte.
const QString& RenderedAnswerByte(char byte);
