#pragma once

#include "row_names.h"

#include <QByteArray>
#include <initializer_list>

// Bytes written as numbers, as a Telnet trace reads.
inline QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray bytes;
    for (int value : values)
        bytes.append(char(value));
    return bytes;
}
