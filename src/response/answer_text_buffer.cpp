#include "response/answer_text_buffer.h"

#include "response/answer_text.h"

void AnswerTextBuffer::Append(char byte)
{
    if (stored.size() >= kAnswerTextLimit)
        DropOldestByte();
    stored.Append(QByteArrayView(&byte, 1));
    rendered.Append(RenderedAnswerByte(byte));
}

void AnswerTextBuffer::Append(QByteArrayView bytes)
{
    for (char byte : bytes)
        Append(byte);
}

void AnswerTextBuffer::Assign(QByteArrayView bytes)
{
    stored.Clear();
    rendered.Clear();
    Append(bytes);
}

void AnswerTextBuffer::DropOldestByte()
{
    const qsizetype renderedLength = RenderedAnswerByte(stored.view().front()).size();
    stored.KeepLast(stored.size() - 1);
    rendered.KeepLast(rendered.size() - renderedLength);
}
