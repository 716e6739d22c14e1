#pragma once

#include <QtGlobal>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

// A broken invariant stops the run like a crash, so libFuzzer keeps the input.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: invariant failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

// Lengths for cutting a stream into chunks, empty ones included: a xorshift
// generator seeded by one input byte, whose low bits also pick the largest
// chunk, from 1 byte up to 32 KiB.
class ChunkLengths
{
public:
    explicit ChunkLengths(std::uint8_t seed)
        : state(0x9E3779B9u ^ (seed * 0x01000193u))
        , largest(qsizetype(1) << (seed & 15))
    {
    }
    qsizetype Next(qsizetype left)
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return qMin(qsizetype(state % quint32(largest + 1)), left);
    }

private:
    quint32 state;
    qsizetype largest;
};
