#include "instrument/instrument_options.h"

#include <QDir>
#include <gtest/gtest.h>

namespace
{

std::variant<InstrumentOptions, CommandLineStop> Parse(QStringList arguments)
{
    return ParseInstrumentOptions(QStringList { "durnix-instrument" } + arguments);
}

} // namespace

TEST(InstrumentOptions, ReadsEveryKnob)
{
    const auto parsed = Parse({ "--link", "tty", "--address", "127", "--modbus-id", "247", "--display", "8",
        "--silent", "--bad-check", "--delay", "250", "--stream", "1000000" });
    ASSERT_TRUE(std::holds_alternative<InstrumentOptions>(parsed));
    const InstrumentOptions& options = std::get<InstrumentOptions>(parsed);
    EXPECT_EQ(options.linkPath, QDir::current().absoluteFilePath("tty"));
    EXPECT_EQ(options.settings.vxbAddress, 127);
    EXPECT_EQ(options.settings.modbusId, 247);
    EXPECT_EQ(options.settings.displayPositions, 8);
    EXPECT_TRUE(options.silent);
    EXPECT_TRUE(options.settings.badCheck);
    EXPECT_EQ(options.delayMs, 250);
    EXPECT_EQ(options.streamBytesPerSecond, 1000000);
}

TEST(InstrumentOptions, BadCommandLinesStopWithAReason)
{
    const QStringList bad[] = {
        {},
        { "--address", "1" },
        { "--link", "tty", "--address", "128" },
        { "--link", "tty", "--modbus-id", "0" },
        { "--link", "tty", "--display", "six" },
        { "--link", "tty", "--delay", "-1" },
        { "--link", "tty", "--stream", "1e6" },
        { "--link", "tty", "--colour" },
        { "--link", "tty", "extra" },
    };
    for (const QStringList& arguments : bad) {
        const auto parsed = Parse(arguments);
        ASSERT_TRUE(std::holds_alternative<CommandLineStop>(parsed)) << qPrintable(arguments.join(' '));
        EXPECT_EQ(std::get<CommandLineStop>(parsed).exitCode, 2) << qPrintable(arguments.join(' '));
        EXPECT_FALSE(std::get<CommandLineStop>(parsed).text.isEmpty());
    }
}
