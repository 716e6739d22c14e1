#pragma once

#include <QByteArray>
#include <initializer_list>
#include <string>

// Bytes written as numbers, as a Telnet trace reads.
inline QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray bytes;
    for (int value : values)
        bytes.append(char(value));
    return bytes;
}

// Table rows begin with their name, which names the test.
inline const auto ByName = [](const auto& info) { return std::string(info.param.name); };
#define DURNIX_PRINTS_ITS_NAME(Row)                                                                          \
    friend void PrintTo(const Row& row, std::ostream* out)                                                   \
    {                                                                                                        \
        *out << row.name;                                                                                    \
    }
