#pragma once

#include "decode/modbus_answer.h"

#include <QByteArrayView>

// A Modbus function Durnix knows: its name and how its normal answer's data read. The data are the
// bytes after the function code and before the CRC; `decode` describes them in words, and marks them
// as standing out when they do not have the function's form.
struct ModbusFunction {
    unsigned code;
    const char* name;
    DecodedAnswer (*decode)(QByteArrayView data);
};

// The function of that code, or null for one Durnix does not know.
const ModbusFunction* FindModbusFunction(unsigned code);
