// The receiving side of a network port: data bytes mixed with option negotiations, subnegotiations
// (some too long to keep) and other Telnet commands, as a server may send them. However the stream
// is cut into chunks, the data bytes out equal the data bytes in; when the server refuses BINARY for
// its data first, each CR NUL among them is read as a CR. The raw input as a stream gives the same
// data and replies whole and in chunks.
#include "fuzz_check.h"
#include "network/rfc2217_client.h"
#include "network/telnet_codec.h"

#include <algorithm>

namespace
{

// Each pair of input bytes (tag, value) adds one piece to the stream. Built in place: a temporary
// per byte would cost more than the parsing under test. Its negotiations leave BINARY alone, so the
// mode set up front holds throughout.
void AddPiece(quint8 tag, quint8 value, QByteArray& stream, QByteArray& data)
{
    const char iac = char(TelnetIac);
    switch (tag % 4) {
    case 0:
    case 1:
        data.append(char(value));
        stream.append(char(value));
        if (value == TelnetIac)
            stream.append(iac);
        break;
    case 2:
        stream.append(iac).append(char(TelnetWill + value % 4));
        stream.append(char(value == TelnetBinary ? TelnetSuppressGoAhead : value));
        break;
    case 3:
        if (tag & 4) {
            stream.append(iac).append(char(241 + value % 9)); // NOP, DM, ..., GA
            break;
        }
        stream.append(iac).append(char(TelnetSb)).append(char(value & 1 ? TelnetComPort : value));
        for (int i = 0; i < (tag >> 3) * 3; ++i) { // up to 93 bytes, past the parser's limit
            stream.append(char(value));
            if (value == TelnetIac)
                stream.append(iac);
        }
        stream.append(iac).append(char(TelnetSe));
        break;
    }
}

QByteArray Receive(QByteArrayView stream, ChunkLengths chunks, QByteArray& replies)
{
    Rfc2217Client client;
    client.Start();
    QByteArray data;
    for (qsizetype at = 0; at < stream.size();) {
        const qsizetype length = chunks.Next(stream.size() - at);
        client.Receive(stream.sliced(at, length), data, replies);
        at += length;
    }
    return data;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    if (size < 1)
        return 0;
    // 255 pieces mix every kind of piece many times over; longer inputs only cost time.
    size = std::min<std::size_t>(size, 512);
    QByteArray stream, data;
    stream.reserve(qsizetype(size) * 16);
    const bool binaryRefused = bytes[0] & 0x80;
    if (binaryRefused)
        stream.append(char(TelnetIac)).append(char(TelnetWont)).append(char(TelnetBinary));
    for (std::size_t i = 1; i + 1 < size; i += 2)
        AddPiece(bytes[i], bytes[i + 1], stream, data);
    if (binaryRefused)
        data.replace(QByteArrayView("\r\0", 2), QByteArrayView("\r"));
    QByteArray replies;
    // Chunks of at most 16 bytes or more still cut anywhere, at a fraction of the calls of 1-byte ones.
    FUZZ_CHECK(Receive(stream, ChunkLengths(bytes[0] | 4), replies) == data);

    const QByteArrayView raw(reinterpret_cast<const char*>(bytes + 1), qsizetype(size - 1));
    QByteArray wholeReplies, chunkedReplies;
    FUZZ_CHECK(Receive(raw, ChunkLengths(0x0F), wholeReplies)
        == Receive(raw, ChunkLengths(bytes[0]), chunkedReplies));
    FUZZ_CHECK(wholeReplies == chunkedReplies);
    return 0;
}
