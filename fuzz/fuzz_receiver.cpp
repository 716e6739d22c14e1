// The receiving side at the protocol position of the first byte: fed whole, in
// chunks cut by the second byte's generator, and byte by byte, it ends with the
// same displays, phase, BCC and answer, reports completion in the chunks that hold
// a completing byte, and keeps both displays within their bounds.
#include "common/bytes.h"
#include "fuzz_check.h"
#include "response/answer_text.h"
#include "response/receiver.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const int position = int(data[0] % 12) - 2; // none, every list position, past the list
    QByteArray stream(reinterpret_cast<const char*>(data + 2), qsizetype(size - 2));
    // A long run of the last byte between two copies of the data crosses both display limits. It is
    // costly, so it comes only for inputs whose byte sum is a multiple of 128: mutations rarely keep
    // that, so it stays a small share of the runs however often the corpus holds it.
    unsigned sum = 0;
    for (std::size_t i = 0; i < size; ++i)
        sum += data[i];
    const bool longStream = sum % 128 == 0;
    ChunkLengths chunks(longStream ? data[1] | 8 : data[1]); // chunks of 256 bytes or more
    if (longStream)
        stream = stream + QByteArray(kAnswerTextLimit + 1, stream.isEmpty() ? 'A' : stream.back()) + stream;
    const qsizetype n = stream.size();

    // The reference: one byte at a time, counting the completing bytes before each position.
    AnswerState reference;
    std::vector<int> completedBefore(n + 1, 0);
    for (qsizetype i = 0; i < n; ++i)
        completedBefore[i + 1] = completedBefore[i] + FeedAnswerByte(reference, position, stream[i]);

    Receiver whole;
    whole.StartAnswer();
    FUZZ_CHECK(whole.Feed(stream, position) == (completedBefore[n] > 0));
    Receiver chunked;
    chunked.StartAnswer();
    for (qsizetype at = 0; at < n;) {
        const qsizetype length = chunks.Next(n - at);
        const bool complete = chunked.Feed(QByteArrayView(stream).sliced(at, length), position);
        FUZZ_CHECK(complete == (completedBefore[at + length] > completedBefore[at]));
        at += length;
    }

    FUZZ_CHECK(reference.text.size() <= kAnswerTextLimit);
    FUZZ_CHECK(reference.text.rendering() == RenderAnswerText(reference.text.bytes()));
    const QString rendered = reference.text.rendering().toString();
    const QString hex = HexText(QByteArrayView(stream).last(qMin(n, kHexDisplayLimit / 3)));
    for (const Receiver* receiver : { &whole, &chunked }) {
        const AnswerState& state = receiver->answer();
        FUZZ_CHECK(state.phase == reference.phase && state.bcc == reference.bcc);
        FUZZ_CHECK(state.text.bytes() == reference.text.bytes());
        FUZZ_CHECK(receiver->answerDisplay() == rendered);
        FUZZ_CHECK(receiver->hexDisplay() == hex);
        FUZZ_CHECK(receiver->hexDisplay().size() <= kHexDisplayLimit);
    }
    return 0;
}
