#pragma once

#include "response/answer_text_buffer.h"

#include <QtGlobal>

// What the frame recognisers keep from one received byte to the next.
struct AnswerState {
    AnswerTextBuffer text; // AnswerText, the newest kAnswerTextLimit bytes
    qint16 phase = 0; // AnswerPhase
    qint16 bcc = 0; // AnswerBcc
};

// Feeds one byte to the recogniser of protocol position P: VXB for 0, 1, 2 and any
// negative P (no protocol selected), HART for 7, and for every other position a
// recogniser that takes every byte into the answer. Returns true when this byte
// completes the answer.
bool FeedAnswerByte(AnswerState& state, int protocolPosition, char byte);
