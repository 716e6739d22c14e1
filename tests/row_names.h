#pragma once

#include <ostream>
#include <string>

// Table rows begin with their name, which names the ctest case and prints the row in a failure.
inline const auto ByName = [](const auto& info) { return std::string(info.param.name); };
#define DURNIX_PRINTS_ITS_NAME(Row)                                                                          \
    friend void PrintTo(const Row& row, std::ostream* out)                                                   \
    {                                                                                                        \
        *out << row.name;                                                                                    \
    }
