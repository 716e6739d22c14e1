#pragma once

#include "response/answer_recognizer.h"
#include "response/tail_buffer.h"

#include <QByteArrayView>
#include <QString>

// Longest raw display: whole "XX " entries, the newest kept.
inline constexpr qsizetype kHexDisplayLimit = kAnswerTextLimit / 3 * 3;

// The receiving side of the window: the raw display, the recogniser state and the
// interpreted display, all bounded so that an endless stream costs no more memory
// than a long answer. The window owns ResponseState and drives this.
class Receiver
{
public:
    // The first bytes after a send: a new answer, both displays emptied.
    void StartAnswer();
    // Shows every byte of the chunk in hexadecimal and feeds it to the recogniser
    // of protocolPosition. Returns true when some byte completed the answer.
    bool Feed(QByteArrayView chunk, int protocolPosition);
    void ClearHexDisplay();

    // Copies of what the labels show: a label needs a string of its own anyway.
    QString hexDisplay() const { return hex.view().toString(); }
    QString answerDisplay() const { return state.text.rendering().toString(); }
    const AnswerState& answer() const { return state; }

private:
    void AppendHex(QByteArrayView chunk);

    AnswerState state;
    TailBuffer<QString, QStringView> hex;
};
