#include "instrument/frame_splitter.h"
#include "instrument/instrument.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace
{

Frame Hex(FrameKind kind, const char* digits)
{
    return { kind, QByteArray::fromHex(digits) };
}

const Frame kVxb = Hex(FrameKind::Vxb, "80 49 44 3F 03 31");
const Frame kVxbNoBcc = Hex(FrameKind::Vxb, "81 44 49 03");
const Frame kModbusRead = Hex(FrameKind::Modbus, "01 03 00 00 00 01 84 0A");
const Frame kModbusWriteMany = Hex(FrameKind::Modbus, "01 10 00 00 00 02 04 AB CD 00 01 83 B4");
const Frame kModbusOtherFunction = Hex(FrameKind::Modbus, "01 05 00 00 FF 00 8C 3A");
const Frame kHartShort = Hex(FrameKind::Hart, "FF FF FF FF FF 02 80 00 00 82");
const Frame kHartLong = Hex(FrameKind::Hart, "FF FF 82 AD D5 00 00 01 01 01 03 F8");
const Frame kLine = { FrameKind::Line, "ID?\r\n" };
const Frame kNoise = { FrameKind::Unrecognised, "As is" };
const Frame kVxbAt127 = Hex(FrameKind::Vxb, "FF 41 03 42");

std::vector<Frame> FeedThenExpire(FrameSplitter& splitter, QByteArrayView bytes)
{
    std::vector<Frame> frames = splitter.Feed(bytes);
    for (Frame& frame : splitter.Expire())
        frames.push_back(std::move(frame));
    return frames;
}

QByteArray Joined(const std::vector<Frame>& frames)
{
    QByteArray bytes;
    for (const Frame& frame : frames)
        bytes += frame.bytes;
    return bytes;
}

} // namespace

void PrintTo(const Frame& frame, std::ostream* out)
{
    *out << int(frame.kind) << ": " << frame.bytes.toHex(' ').constData();
}

TEST(FrameSplitter, TellsTheFramingsApartByShape)
{
    const std::vector<Frame> cases[] = {
        { kVxb },
        { kVxbNoBcc },
        { kModbusRead },
        { kModbusWriteMany },
        { kModbusOtherFunction },
        { kHartShort },
        { kHartLong },
        { kLine },
        { kNoise },
        { kVxbAt127 },
        { kVxb, kModbusRead, kHartShort, kLine, kVxb },
        { kLine, kLine, kNoise },
    };
    for (const std::vector<Frame>& frames : cases) {
        FrameSplitter splitter(1);
        EXPECT_EQ(FeedThenExpire(splitter, Joined(frames)), frames) << Joined(frames).toHex(' ').constData();
        EXPECT_FALSE(splitter.HasPartialFrame());
    }
}

TEST(FrameSplitter, WaitsForTheSilenceOnlyWhereTheShapeLeavesTheEndOpen)
{
    const std::pair<Frame, bool> cases[] = {
        { kVxb, false },
        { kModbusRead, false },
        { kModbusWriteMany, false },
        { kHartLong, false },
        { kLine, false },
        { kVxbNoBcc, true },
        { kModbusOtherFunction, true },
        { kNoise, true },
    };
    for (const auto& [frame, waits] : cases) {
        FrameSplitter splitter(1);
        EXPECT_EQ(splitter.Feed(frame.bytes).empty(), waits) << frame.bytes.toHex(' ').constData();
        EXPECT_EQ(splitter.HasPartialFrame(), waits);
    }
}

TEST(FrameSplitter, ASplitStreamGivesTheSameFrames)
{
    const std::vector<Frame> frames
        = { kVxb, kModbusWriteMany, kHartLong, kLine, kVxb, kModbusRead, kHartShort, kLine, kVxbNoBcc };
    const QByteArray stream = Joined(frames);
    QRandomGenerator random(42);
    for (int round = 0; round < 200; ++round) {
        FrameSplitter splitter(1);
        std::vector<Frame> got;
        for (qsizetype at = 0; at < stream.size();) {
            const qsizetype chunk = std::min<qsizetype>(random.bounded(1, 12), stream.size() - at);
            for (Frame& frame : splitter.Feed(stream.sliced(at, chunk)))
                got.push_back(std::move(frame));
            at += chunk;
        }
        for (Frame& frame : splitter.Expire())
            got.push_back(std::move(frame));
        ASSERT_EQ(got, frames) << "round " << round;
    }
}

TEST(FrameSplitter, EndlessNoiseDoesNotPileUp)
{
    FrameSplitter splitter(1);
    qsizetype cut = 0;
    for (int chunk = 0; chunk < 100; ++chunk)
        for (const Frame& frame : splitter.Feed(QByteArray(1000, 'x')))
            cut += frame.bytes.size();
    EXPECT_GT(cut, 100'000 - 8192);
}

TEST(FrameSplitter, RandomBytesAreCutWithoutLossAndAnsweredWithoutHarm)
{
    const char significant[]
        = { char(0xFF), 0x02, char(0x82), 0x03, 0x01, 0x10, char(0x80), '\r', '\n', 'M' };
    QRandomGenerator random(7);
    QByteArray stream;
    for (int i = 0; i < 100'000; ++i)
        stream.append(random.bounded(2) ? significant[random.bounded(int(sizeof significant))]
                                        : char(random.bounded(256)));
    FrameSplitter splitter(1);
    Instrument instrument(
        {}, [] { return QTime(); }, [](const QByteArray&) {});
    std::vector<Frame> frames;
    for (qsizetype at = 0; at < stream.size(); at += 97)
        for (Frame& frame :
            FeedThenExpire(splitter, stream.sliced(at, std::min<qsizetype>(97, stream.size() - at))))
            frames.push_back(std::move(frame));
    for (const Frame& frame : frames)
        instrument.Answer(frame);
    EXPECT_EQ(Joined(frames), stream);
}
