#include "instrument/checksums.h"

quint8 XorCheck(QByteArrayView bytes, quint8 start)
{
    quint8 check = start;
    for (char byte : bytes)
        check ^= quint8(byte);
    return check;
}

quint16 InstrumentModbusCrc(QByteArrayView bytes)
{
    quint16 crc = 0xFFFF;
    for (char byte : bytes) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? quint16((crc >> 1) ^ 0xA001) : quint16(crc >> 1);
    }
    return crc;
}

quint8 RavoCheck(QByteArrayView command)
{
    unsigned k = 1;
    for (char byte : command) {
        k ^= quint8(byte);
        k = (k & 0x80) ? ((2 * k + 2) ^ k) & 0xFF : ((2 * k + 1) ^ k) & 0xFF;
    }
    return quint8(k);
}
