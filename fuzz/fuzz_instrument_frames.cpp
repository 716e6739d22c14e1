// The virtual instrument's frame splitter, fed whole and in chunks, cuts the same
// frames, loses no byte and keeps nothing after the silence gap; each frame has
// the shape of its kind, and every answer is one the terminal's recognisers read
// to its last byte, with a check that holds unless the instrument spoils it.
#include "fuzz_check.h"
#include "instrument/checksums.h"
#include "instrument/frame_splitter.h"
#include "instrument/instrument.h"
#include "response/answer_recognizer.h"

#include <QTime>

namespace {

// Longest stream whose frames cannot depend on the chunks: a longer buffer is cut where it stands.
constexpr qsizetype kLongestFrame = 4096;

std::vector<Frame> FeedAll(FrameSplitter& splitter, QByteArrayView stream, ChunkLengths* chunks)
{
    std::vector<Frame> frames;
    qsizetype at = 0;
    do {
        const qsizetype length = chunks ? chunks->Next(stream.size() - at) : stream.size();
        for (Frame& frame : splitter.Feed(stream.sliced(at, length)))
            frames.push_back(std::move(frame));
        at += length;
    } while (at < stream.size());
    for (Frame& frame : splitter.Expire())
        frames.push_back(std::move(frame));
    FUZZ_CHECK(!splitter.HasPartialFrame());
    QByteArray joined;
    for (const Frame& frame : frames) {
        FUZZ_CHECK(!frame.bytes.isEmpty());
        joined += frame.bytes;
    }
    FUZZ_CHECK(joined == stream);
    return frames;
}

void CheckShape(const Frame& frame, quint8 modbusId)
{
    const QByteArray& bytes = frame.bytes;
    switch (frame.kind) {
    case FrameKind::Hart:
        FUZZ_CHECK(bytes.startsWith("\xFF\xFF"));
        break;
    case FrameKind::Modbus:
        FUZZ_CHECK(quint8(bytes[0]) == modbusId);
        break;
    case FrameKind::Vxb:
        FUZZ_CHECK(quint8(bytes[0]) & 0x80);
        break;
    case FrameKind::Line:
        FUZZ_CHECK(bytes.endsWith("\r\n"));
        break;
    case FrameKind::Unrecognised:
        break;
    }
}

// Feeds the answer to the terminal's recogniser; true when exactly its last byte completes it.
bool CompletesAtEnd(AnswerState& state, int position, QByteArrayView answer)
{
    for (qsizetype i = 0; i < answer.size(); ++i) {
        if (FeedAnswerByte(state, position, answer[i]) != (i + 1 == answer.size()))
            return false;
    }
    return true;
}

void CheckAnswer(const Frame& frame, const QByteArray& answer, const InstrumentSettings& settings)
{
    if (answer.isEmpty())
        return;
    AnswerState state;
    switch (frame.kind) {
    case FrameKind::Vxb: {
        FUZZ_CHECK(answer[0] == 0x06 || answer[0] == 0x15);
        // An ECHO may carry ACK, NAK or ETX, which the terminal reads as control bytes.
        const QByteArrayView text = QByteArrayView(answer).sliced(1, answer.size() - 3);
        if (text.contains(0x03) || text.contains(0x06) || text.contains(0x15))
            break;
        QByteArray expected = (answer[0] == 0x15 ? QByteArray("<NAK>") : QByteArray()) + text.toByteArray();
        if (expected.isEmpty())
            expected = "<>";
        if (settings.badCheck)
            expected += "<BCCERR>";
        FUZZ_CHECK(CompletesAtEnd(state, 0, answer));
        FUZZ_CHECK(state.text.bytes() == expected);
        break;
    }
    case FrameKind::Hart:
        FUZZ_CHECK(answer.startsWith(QByteArray(5, char(0xFF))));
        FUZZ_CHECK(CompletesAtEnd(state, 7, answer));
        FUZZ_CHECK(state.text.bytes() == QByteArrayView(answer).sliced(5));
        FUZZ_CHECK((XorCheck(QByteArrayView(answer).sliced(5).chopped(1)) == quint8(answer.back())) != settings.badCheck);
        break;
    case FrameKind::Modbus:
        FUZZ_CHECK(quint8(answer[0]) == settings.modbusId);
        FUZZ_CHECK((InstrumentModbusCrc(answer) == 0) != settings.badCheck);
        break;
    case FrameKind::Line:
        FUZZ_CHECK(answer.endsWith("\r\n"));
        break;
    case FrameKind::Unrecognised:
        FUZZ_CHECK(false); // silence
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 3)
        return 0;
    InstrumentSettings settings;
    settings.vxbAddress = data[0] & 0x7F;
    settings.badCheck = data[0] & 0x80;
    settings.modbusId = data[1];
    settings.displayPositions = 1 + (data[0] & 0x0F);
    ChunkLengths chunks(data[2]);
    const QByteArrayView stream(reinterpret_cast<const char*>(data + 3), qsizetype(size - 3));

    FrameSplitter whole(settings.modbusId);
    FrameSplitter chunked(settings.modbusId);
    const std::vector<Frame> frames = FeedAll(whole, stream, nullptr);
    const std::vector<Frame> chunkedFrames = FeedAll(chunked, stream, &chunks);
    if (stream.size() <= kLongestFrame)
        FUZZ_CHECK(frames == chunkedFrames);

    Instrument instrument(settings, [] { return QTime(12, 34, 56); }, [](const QByteArray&) {});
    for (const Frame& frame : frames) {
        CheckShape(frame, settings.modbusId);
        CheckAnswer(frame, instrument.Answer(frame), settings);
    }
    return 0;
}
