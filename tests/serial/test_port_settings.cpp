#include "serial/port_settings.h"

#include <QString>

#include <gtest/gtest.h>

namespace {

TEST(PortSettings, AcceptsOnlyTextsThePortCanTake)
{
    using P = PortParity;
    const std::pair<const char*, std::optional<PortSettings>> cases[] = {
        { "9600,N,8,1", PortSettings { 9600, P::None, 8, 1 } },
        { "19200,O,7,2", PortSettings { 19200, P::Odd, 7, 2 } },
        { "4800,e,5,1", PortSettings { 4800, P::Even, 5, 1 } },
        { "110,S,6,2", PortSettings { 110, P::Space, 6, 2 } },
        { "1,m,8,1", PortSettings { 1, P::Mark, 8, 1 } },
        { "12345,N,8,1", PortSettings { 12345, P::None, 8, 1 } },
        { "2147483647,N,8,1", PortSettings { 2147483647, P::None, 8, 1 } },
        { "", std::nullopt },
        { ",N,8,1", std::nullopt },
        { "9600,8,1", std::nullopt },
        { "9600,N,8", std::nullopt },
        { "9600,N,8,1,", std::nullopt },
        { "abc,N,8,1", std::nullopt },
        { "0,N,8,1", std::nullopt },
        { "-9600,N,8,1", std::nullopt },
        { "+9600,N,8,1", std::nullopt },
        { " 9600,N,8,1", std::nullopt },
        { "9600.0,N,8,1", std::nullopt },
        { "2147483648,N,8,1", std::nullopt },
        { "9600,X,8,1", std::nullopt },
        { "9600,NO,8,1", std::nullopt },
        { "9600,,8,1", std::nullopt },
        { "9600,N,4,1", std::nullopt },
        { "9600,N,9,1", std::nullopt },
        { "9600,N,08,1", std::nullopt },
        { "9600,N,8,0", std::nullopt },
        { "9600,N,8,1.5", std::nullopt },
        { "9600,N,8,3", std::nullopt },
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(ParsePortSettings(QString::fromLatin1(text)), expected) << text;
}

} // namespace
