#pragma once

#include <QByteArrayView>
#include <QString>

struct DecodedAnswer {
    QString text; // what the decoded column shows
    bool standsOut = false; // an exception, a bad CRC or a malformed answer
};

// An answer of the "Modbus RTU" framing, as its raw bytes came (slave address first, CRC last).
DecodedAnswer DecodeModbusAnswer(QByteArrayView answer);
