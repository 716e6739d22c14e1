// The real window and serial port against the virtual instrument: every framing gets its answer.
#include "instrument_process.h"
#include "live_window.h"

#include "app/display_label.h"
#include "app/settings/settings_reader.h"
#include "command/framing.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace
{

const QString kIdentity
    = QStringLiteral("durnix-instrument %1.%2").arg(DURNIX_VERSION_MAJOR).arg(DURNIX_VERSION_MINOR);

struct FramingCase {
    const char* name;
    int protocol;
    QString command;
    bool hex;
    QString address;
    QString answerShown;
};

// What each framing's instrument answers, as the interpreted display renders it. The framings
// without a recogniser of their own show every byte, ACK, ETX and check byte included.
std::vector<FramingCase> FramingCases()
{
    return {
        { "VxbWithBcc", VxbWithBcc, "ID?", false, "0", kIdentity },
        { "VxbNoBccGetsNakAfterTheMissingByteTimesOut", VxbNoBcc, "ID?", false, "0", "<NAK>" },
        { "VxbWrongBcc", VxbWrongBcc, "ID?", false, "0", "<NAK>" },
        { "AsciiCrlf", AsciiCrlf, "ID?", false, "0", kIdentity + "<13>\n<10>" },
        { "VxbRavo", VxbRavo, "ECHO X", false, "0", "<6>X<3>]" },
        { "AsIsWithLineEndEscapes", AsIs, "ID?<13><10>", false, "0", kIdentity + "<13>\n<10>" },
        { "ModbusRtuReadsRegister5", ModbusRtu, "03 00 05 00 01", true, "1", "<1><3><2><0><5>xG" },
        { "HartCommand0LongAnswer", Hart, "02 80 00 00", true, "0",
            "<134><173><213><0><0><1><0><14><0><0><254>-<213><5><5><1><1><8><0><0><0><1><254>" },
    };
}

// Keeps the generated test names readable.
void PrintTo(const FramingCase& c, std::ostream* os)
{
    *os << c.name;
}

class EachFraming : public ::testing::TestWithParam<FramingCase>
{
};

TEST_P(EachFraming, SendShowsTheInterpretedAnswerAndCompletesIt)
{
    const FramingCase& c = GetParam();
    InstrumentProcess instrument;
    ASSERT_TRUE(instrument.Start()) << instrument.Errors().constData();
    LiveWindow window(Com1Map(instrument.LinkPath(), instrument.Folder()), instrument.Folder());
    DurnixForm& f = window.Form();
    ASSERT_TRUE(f.MSComm1.portOpen()) << window.portFailures.join('\n').toStdString();

    window.Send(c.protocol, c.command, c.hex, c.address);
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return f.ResponseState == 2 && f.TextInput->text() == c.answerShown; }, 5000))
        << "state " << f.ResponseState << ", shown: " << f.TextInput->text().toStdString()
        << "\nraw: " << f.TextInputHex->text().toStdString();
    EXPECT_EQ(window.completeAnswers, 1);
    EXPECT_EQ(window.beeps, 0);
    const auto summary = ParseInstrumentSummary(instrument.Stop());
    ASSERT_TRUE(summary);
    EXPECT_EQ(summary->received, 1);
    EXPECT_EQ(summary->answered, 1);
    EXPECT_EQ(summary->bytesOut, window.comm.bytesRead);
}

INSTANTIATE_TEST_SUITE_P(Instrument, EachFraming, ::testing::ValuesIn(FramingCases()),
    [](const ::testing::TestParamInfo<FramingCase>& info) { return info.param.name; });

TEST(SettingsFile, MapsCom1ToTheInstrumentAtStartUp)
{
    InstrumentProcess instrument;
    ASSERT_TRUE(instrument.Start());
    const QByteArray settings
        = "Prot= 3 \r\nCOM1=" + QFile::encodeName(instrument.LinkPath()) + "\r\nOutput=ID?\r\n";
    QFile file(instrument.Folder() + "/durnix.ini");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(settings);
    file.close();

    // As the program does at start-up.
    const PortMap fromFile
        = PortMap::FromSettingsBytes(ReadSettingsFile(instrument.Folder()).value_or(QByteArray()));
    ASSERT_EQ(fromFile.DevicePath(1), instrument.LinkPath());
    LiveWindow window(SealedPortMap(fromFile, instrument.Folder()), instrument.Folder());
    DurnixForm& f = window.Form();
    ASSERT_TRUE(f.MSComm1.portOpen()) << window.portFailures.join('\n').toStdString();
    EXPECT_EQ(window.comm.DevicePath(), instrument.LinkPath());
    EXPECT_EQ(f.ComboPort->itemData(0, Qt::ToolTipRole).toString(), instrument.LinkPath());
    EXPECT_EQ(f.ComboProt->currentText(), QString("ASCII CRLF"));

    f.CommandSend_Click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.TextInput->text() == kIdentity + "<13>\n<10>"; }, 5000))
        << f.TextInput->text().toStdString();
}

} // namespace
