// The window reading durnix.ini at start-up and writing it at close.
#include "app/vb_controls.h"
#include "common/interval_timer.h"
#include "form_harness.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QScrollBar>
#include <csignal>
#include <functional>
#include <QTest>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <utility>

// Failures show the file as text, with its line ends visible.
void PrintTo(const QByteArray& bytes, std::ostream* out)
{
    *out << '"' << QByteArray(bytes).replace("\r", "\\r").replace("\n", "\\n\n").toStdString() << '"';
}

void PrintTo(const QRect& rect, std::ostream* out)
{
    *out << rect.x() << "," << rect.y() << " " << rect.width() << "x" << rect.height();
}

namespace {

// The first start, with the window placed at 100, 50 in its design size.
const QByteArray kFirstStartFile = "WindowLeft= 1500 \r\n"
                                   "WindowTop= 750 \r\n"
                                   "WindowWidth= 5865 \r\n"
                                   "WindowHeight= 6660 \r\n"
                                   "Port= 1 \r\n"
                                   "Baud= 4 \r\n"
                                   "Bits= 3 \r\n"
                                   "Par= 0 \r\n"
                                   "Stop= 0 \r\n"
                                   "Prot= 0 \r\n"
                                   "Addr=0\r\n"
                                   "Repeat=0\r\n"
                                   "DTR= 1 \r\n"
                                   "RTS= 0 \r\n"
                                   "AutoRTS= 0 \r\n"
                                   "Mode=Free\r\n"
                                   "Time= 0 \r\n"
                                   "Hex= 0 \r\n"
                                   "Disp= 0 \r\n"
                                   "AA= 0 \r\n"
                                   "Chars=6\r\n"
                                   "Noscroll= 0 \r\n"
                                   "Modefreedisp= 0 \r\n"
                                   "Modetimedisp= 1 \r\n"
                                   "Modefiledisp=-1 \r\n"
                                   "Output=DISP HELLO\r\n";

// Every setting away from its default; see SetEverything.
const QByteArray kBusyFile = "WindowLeft= 1800 \r\n"
                             "WindowTop= 1200 \r\n"
                             "WindowWidth= 6000 \r\n"
                             "WindowHeight= 6900 \r\n"
                             "Port= 3 \r\n"
                             "COM3=/dev/pts/7\r\n"
                             "COM12=/dev/serial/by-id/usb-x\r\n"
                             "Baud= 11 \r\n"
                             "Bits= 1 \r\n"
                             "Par= 2 \r\n"
                             "Stop= 1 \r\n"
                             "Prot= 3 \r\n"
                             "Addr=17\r\n"
                             "Repeat=2.5\r\n"
                             "DTR= 0 \r\n"
                             "RTS= 2 \r\n"
                             "AutoRTS= 0 \r\n"
                             "Mode=File\r\n"
                             "Filename=/srv/durnix/commands.txt\r\n"
                             "RepeatON= 1 \r\n"
                             "Time= 3 \r\n"
                             "Hex= 1 \r\n"
                             "Disp= 2 \r\n"
                             "AA= 1 \r\n"
                             "Chars=12\r\n"
                             "Noscroll= 1 \r\n"
                             "Modefreedisp= 0.5 \r\n"
                             "Modetimedisp=-2 \r\n"
                             "Modefiledisp= 0 \r\n"
                             "Lastcmd0=DISP A=1, \"two\", 'three'\r\n"
                             "Lastcmddisp0=1\r\n"
                             "Lastcmdhex0=0\r\n"
                             "Lastcmd2=RAW\r\n"
                             "Lastcmddisp2=\r\n"
                             "Lastcmdhex2=\r\n"
                             "Lastcmd3=X\xC4\x80"
                             "\r\n"
                             "Lastcmddisp3=2\r\n"
                             "Lastcmdhex3=1.5\r\n"
                             "Output=PING \"42\", a=b\r\n";

// Sets every control and memory the file keeps, in an order where no handler
// undoes an earlier step.
void SetEverything(DurnixForm& f)
{
    f.setGeometry(120, 80, 400, 460);
    f.ComboPort->setCurrentIndex(2);
    f.ComboBPS->setCurrentIndex(11);
    f.ComboBits->setCurrentIndex(1);
    f.ComboPar->setCurrentIndex(2);
    f.ComboStop->setCurrentIndex(1);
    f.ComboProt->setCurrentIndex(3);
    f.TextAddr->setText("17");
    f.TextRepeat->setText("2.5");
    SetVbValue(f.CheckDTR, 0);
    SetVbValue(f.CheckRTS, 2);
    f.TextOutput->setEditText("PING \"42\", a=b");
    const QString recent[5] = {"DISP A=1, \"two\", 'three'", "", "RAW", QString::fromUtf8("X\u00C4\u20AC"), ""};
    for (int i = 0; i < 5; ++i) {
        f.Recent.texts[i] = recent[i];
        f.TextOutput->setItemText(i, recent[i]);
    }
    f.Recent.disp = {1, std::nullopt, std::nullopt, 2, std::nullopt, std::nullopt};
    f.Recent.hex = {0, std::nullopt, std::nullopt, 1.5, std::nullopt, std::nullopt};
    f.ComboTime->setCurrentIndex(3); // picks running mode
    f.OptionModeFile->setChecked(true); // forgets the file name
    f.CommandFileName = "/srv/durnix/commands.txt";
    SetVbValue(f.CheckHex, 1);
    SetVbValue(f.CheckDisp, 2);
    SetVbValue(f.CheckAA, 1);
    f.TextChars->setText("12");
    SetVbValue(f.CheckPatkittain, 1);
    SetVbValue(f.CheckRepeat, 1);
    f.ModeFreeDisp = 0.5;
    f.ModeTimeDisp = -2;
    f.ModeFileDisp = 0;
}

QString Number(double value) { return QString::number(value, 'g', 17); }
QString Memory(const std::optional<double>& value) { return value ? Number(*value) : QString("empty"); }

// What a restart must bring back, one "name=value" per item.
QStringList Observed(const DurnixForm& f)
{
    QStringList seen;
    const QRect frame = f.frameGeometry();
    seen << QString("frame=%1,%2 %3x%4").arg(frame.x()).arg(frame.y()).arg(frame.width()).arg(frame.height());
    for (const QComboBox* combo : {f.ComboPort, f.ComboBPS, f.ComboBits, f.ComboPar, f.ComboStop, f.ComboProt,
             f.ComboTime})
        seen << combo->objectName() + "=" + QString::number(combo->currentIndex()) + " " + combo->currentText();
    for (const QCheckBox* check : {f.CheckDTR, f.CheckRTS, f.CheckAutoRTS, f.CheckRepeat, f.CheckHex, f.CheckDisp,
             f.CheckAA, f.CheckPatkittain})
        seen << check->objectName() + "=" + QString::number(VbValue(check));
    for (const QLineEdit* text : {f.TextAddr, f.TextRepeat, f.TextChars})
        seen << text->objectName() + "=" + text->text();
    for (const QWidget* control : {static_cast<const QWidget*>(f.TextAddr), static_cast<const QWidget*>(f.CheckRTS),
             static_cast<const QWidget*>(f.CheckHex), static_cast<const QWidget*>(f.ComboTime),
             static_cast<const QWidget*>(f.TextChars), static_cast<const QWidget*>(f.CheckPatkittain)})
        seen << control->objectName() + " enabled=" + QString::number(control->isEnabled());
    seen << "VScrollAddr=" + QString::number(f.VScrollAddr->value());
    seen << "mode=" + QString::number(f.OptionModeFree->isChecked()) + QString::number(f.OptionModeTime->isChecked())
            + QString::number(f.OptionModeFile->isChecked());
    seen << "CommandFileName=" + f.CommandFileName;
    seen << "RepeatTimer=" + QString::number(f.RepeatTimer->isEnabled()) + " "
            + QString::number(f.RepeatTimer->interval());
    seen << "ModeFreeDisp=" + Number(f.ModeFreeDisp) << "ModeTimeDisp=" + Number(f.ModeTimeDisp)
         << "ModeFileDisp=" + Number(f.ModeFileDisp);
    for (int i = 0; i < 5; ++i) {
        seen << QString("recent%1=%2|%3|%4|%5")
                    .arg(i)
                    .arg(f.Recent.texts[i], f.TextOutput->itemText(i), Memory(f.Recent.disp[i]),
                        Memory(f.Recent.hex[i]));
    }
    seen << "TextOutput=" + f.TextOutput->currentText();
    return seen;
}

QByteArray WithoutWindowLines(QByteArray file)
{
    for (const char* key : {"WindowLeft", "WindowTop", "WindowWidth", "WindowHeight"}) {
        const qsizetype at = file.indexOf(QByteArray(key) + "=");
        if (at >= 0)
            file.remove(at, file.indexOf("\r\n", at) + 2 - at);
    }
    return file;
}

QByteArray Edited(QByteArray file, std::initializer_list<std::pair<QByteArray, QByteArray>> edits)
{
    for (const auto& [from, to] : edits) {
        EXPECT_TRUE(file.contains(from)) << from.toStdString();
        file.replace(from, to);
    }
    return file;
}

// Writes beyond `bytes` fail with EFBIG while the object lives: a failure that
// even root cannot bypass.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit saved_ {};
    void (*previousHandler_)(int) = nullptr;
};

struct FileCase {
    const char* name;
    QByteArray file;
    std::function<void(FormHarness&, DurnixForm&)> check;
};

// Start-up must finish the same way whatever the file held.
void ExpectStartedNormally(FormHarness& h, DurnixForm& f)
{
    EXPECT_EQ(f.Loading, 0);
    EXPECT_EQ(h.comm.openCount, 1);
    EXPECT_EQ(h.comm.log.count("OPEN"), 1);
    EXPECT_EQ(f.TextOutput->count(), 5);
    EXPECT_EQ(f.ComboPort->count(), 16);
    EXPECT_TRUE(h.portFailures.isEmpty());
}

void RunFileCases(const std::vector<FileCase>& cases)
{
    for (const FileCase& c : cases) {
        SCOPED_TRACE(c.name);
        FormHarness h;
        h.WriteSettings(c.file);
        DurnixForm& f = h.Start();
        ExpectStartedNormally(h, f);
        c.check(h, f);
        h.Close();
        EXPECT_TRUE(h.ReadSettings().endsWith("\r\n"));
    }
}

} // namespace

TEST(FormSettingsFile, EverySettingSurvivesARestartAndIsRewrittenByteForByte)
{
    FormHarness first;
    first.portMap.SetPath(12, "/dev/serial/by-id/usb-x");
    first.portMap.SetPath(3, "/dev/pts/7");
    DurnixForm& f = first.Start();
    SetEverything(f);
    const QStringList before = Observed(f);
    first.Close();
    const QByteArray written = first.ReadSettings();
    EXPECT_EQ(written, kBusyFile);

    FormHarness second;
    second.portMap = PortMap::FromSettingsBytes(written);
    second.WriteSettings(written);
    DurnixForm& g = second.Start();
    const QStringList after = Observed(g);
    ASSERT_EQ(after.size(), before.size());
    for (qsizetype i = 0; i < before.size(); ++i)
        EXPECT_EQ(after[i], before[i]);
    EXPECT_EQ(g.windowTitle(), QString("Durnix - V1.0")) << "file mode read at start-up keeps the version";
    EXPECT_EQ(second.comm.openCount, 1);
    EXPECT_EQ(second.comm.commPort(), 3);
    EXPECT_EQ(second.comm.settingsText, QString("115200,E,6,2"));
    EXPECT_FALSE(second.comm.dtr);
    EXPECT_TRUE(second.comm.rts) << "a greyed RTS counts as raised";
    second.Close();
    EXPECT_EQ(second.ReadSettings(), written);
}

TEST(FormSettingsFile, WrittenBytesFollowTheWindowState)
{
    struct WriteCase {
        const char* name;
        std::function<void(DurnixForm&)> act;
        QByteArray expected;
    };
    const std::vector<WriteCase> cases = {
        {"first start", [](DurnixForm&) {}, kFirstStartFile},
        {"maximised window has no place or size", [](DurnixForm& f) { f.showMaximized(); },
            WithoutWindowLines(kFirstStartFile)},
        {"minimised window has no place or size", [](DurnixForm& f) { f.setWindowState(Qt::WindowMinimized); },
            WithoutWindowLines(kFirstStartFile)},
        {"running mode keeps no file name and no repeat state",
            [](DurnixForm& f) {
                f.ComboTime->setCurrentIndex(4);
                f.CommandFileName = "/srv/durnix/commands.txt";
                SetVbValue(f.CheckRepeat, 1);
            },
            Edited(kFirstStartFile, {{"Mode=Free", "Mode=Time"}, {"Time= 0 ", "Time= 4 "}})},
        {"free mode keeps no file name and no repeat state",
            [](DurnixForm& f) {
                f.CommandFileName = "/srv/durnix/commands.txt";
                SetVbValue(f.CheckRepeat, 1);
            },
            kFirstStartFile},
        {"file mode without a file writes an empty name",
            [](DurnixForm& f) { f.OptionModeFile->setChecked(true); },
            Edited(kFirstStartFile,
                {{"Mode=Free\r\n", "Mode=File\r\nFilename=\r\nRepeatON= 0 \r\n"}, {"Disp= 0 ", "Disp= 1 "}})},
        {"typed speed and port that are no entries",
            [](DurnixForm& f) {
                f.ComboBPS->setEditText("7777");
                f.ComboPort->setEditText("COM99");
            },
            Edited(kFirstStartFile, {{"Port= 1 ", "Port= 0 "}, {"Baud= 4 ", "Baud=-1 "}})},
        {"sent commands with their states",
            [](DurnixForm& f) {
                SetVbValue(f.CheckDisp, 1);
                f.CommandSend_Click();
                f.TextOutput->setEditText("01 02");
                SetVbValue(f.CheckDisp, 0);
                SetVbValue(f.CheckHex, 1);
                f.CommandSend_Click();
            },
            Edited(kFirstStartFile,
                {{"Hex= 0 ", "Hex= 1 "},
                    {"Output=", "Lastcmd0=01 02\r\nLastcmddisp0=0\r\nLastcmdhex0=1\r\nLastcmd1=DISP HELLO\r\n"
                                "Lastcmddisp1=1\r\nLastcmdhex1=0\r\nOutput="},
                    {"Output=DISP HELLO", "Output=01 02"}})},
    };
    for (const WriteCase& c : cases) {
        SCOPED_TRACE(c.name);
        FormHarness h;
        DurnixForm& f = h.Start();
        f.setGeometry(100, 50, 391, 444);
        c.act(f);
        h.Close();
        EXPECT_EQ(h.ReadSettings(), c.expected);
    }
}

TEST(FormSettingsFile, ValuesAreAppliedWhileLoading)
{
    RunFileCases({
        {"recent command keeps equals signs, commas and quotes",
            "Lastcmd3=A=B, \"C\", 'd'==\r\nLastcmddisp3=1\r\n",
            [](FormHarness&, DurnixForm& f) {
                EXPECT_EQ(f.TextOutput->itemText(3), QString("A=B, \"C\", 'd'=="));
                EXPECT_EQ(f.Recent.texts[3], QString("A=B, \"C\", 'd'=="));
                EXPECT_EQ(f.Recent.disp[3], 1.0);
                EXPECT_EQ(f.Recent.hex[3], std::nullopt);
            }},
        {"memories stay unrounded and file mode's true checks DISP",
            "Modefreedisp= 0.5 \r\nModefiledisp=-1 \r\nDisp= 0 \r\n",
            [](FormHarness&, DurnixForm& f) {
                EXPECT_EQ(f.ModeFreeDisp, 0.5);
                EXPECT_EQ(f.ModeFileDisp, -1);
                f.OptionModeFile->setChecked(true);
                EXPECT_EQ(VbValue(f.CheckDisp), 1);
            }},
        {"speed index -1 comes back unselected", "Baud=-1 \r\nProt= 1 \r\n",
            [](FormHarness&, DurnixForm& f) {
                EXPECT_EQ(f.ComboBPS->currentIndex(), -1);
                EXPECT_EQ(f.ComboBPS->currentText(), QString());
                EXPECT_EQ(f.ComboProt->currentIndex(), 1);
            }},
        {"recent slots 7 and -1 are ignored, Lastcmd= is slot 0",
            "Lastcmd7=seven\r\nLastcmd-1=minus\r\nLastcmddisp7=1\r\nLastcmdhex-1=1\r\nLastcmd=zero\r\nLastcmd4=four\r\n",
            [](FormHarness&, DurnixForm& f) {
                const QStringList expected = {"zero", "", "", "", "four"};
                for (int i = 0; i < 5; ++i) {
                    EXPECT_EQ(f.TextOutput->itemText(i), expected[i]) << i;
                    EXPECT_EQ(f.Recent.disp[i], std::nullopt) << i;
                    EXPECT_EQ(f.Recent.hex[i], std::nullopt) << i;
                }
            }},
        {"repeat in file mode starts the cycle with the program",
            "Repeat=3\r\nMode=File\r\nFilename=/srv/cmds.txt\r\nRepeatON= 1 \r\n",
            [](FormHarness&, DurnixForm& f) {
                EXPECT_TRUE(f.OptionModeFile->isChecked());
                EXPECT_EQ(f.CommandFileName, QString("/srv/cmds.txt"));
                EXPECT_EQ(VbValue(f.CheckRepeat), 1);
                EXPECT_TRUE(f.RepeatTimer->isEnabled());
                EXPECT_EQ(f.RepeatTimer->interval(), 3000);
                EXPECT_EQ(f.windowTitle(), QString("Durnix - V1.0"));
                EXPECT_TRUE(f.TextChars->isEnabled());
                EXPECT_FALSE(f.CheckHex->isEnabled());
            }},
        {"AutoRTS greys RTS", "RTS= 1 \r\nAutoRTS= 1 \r\n",
            [](FormHarness& h, DurnixForm& f) {
                EXPECT_EQ(VbValue(f.CheckRTS), 0);
                EXPECT_FALSE(f.CheckRTS->isEnabled());
                EXPECT_FALSE(h.comm.rts);
            }},
        {"port opened once with the file's settings",
            "Port= 4 \r\nBaud= 7 \r\nBits= 2 \r\nPar= 1 \r\nStop= 1 \r\nDTR= 0 \r\nRTS= 1 \r\n",
            [](FormHarness& h, DurnixForm&) {
                EXPECT_EQ(h.comm.commPort(), 4);
                EXPECT_EQ(h.comm.settingsText, QString("19200,O,7,2"));
                EXPECT_FALSE(h.comm.dtr);
                EXPECT_TRUE(h.comm.rts);
            }},
        {"time layout restored without leaving free mode", "Time= 2 \r\n",
            [](FormHarness&, DurnixForm& f) {
                EXPECT_EQ(f.ComboTime->currentIndex(), 2);
                EXPECT_TRUE(f.OptionModeFree->isChecked());
                EXPECT_FALSE(f.ComboTime->isEnabled());
            }},
        {"command text does not switch the mode", "Mode=Time\r\nOutput=hello, world\r\n",
            [](FormHarness&, DurnixForm& f) {
                EXPECT_TRUE(f.OptionModeTime->isChecked());
                EXPECT_TRUE(f.ComboTime->isEnabled());
                EXPECT_EQ(f.TextOutput->currentText(), QString("hello, world"));
                EXPECT_EQ(f.windowTitle(), QString("Durnix - V1.0"));
            }},
        {"address above the bar holds it at its end", "Addr=300\r\nProt= 1 \r\n",
            [](FormHarness&, DurnixForm& f) {
                EXPECT_EQ(f.TextAddr->text(), QString("300"));
                EXPECT_EQ(f.VScrollAddr->value(), 0);
                EXPECT_EQ(f.ComboProt->currentIndex(), 1);
            }},
        {"any address the operator could type reads on", "Addr=1e300\r\nProt= 1 \r\n",
            [](FormHarness&, DurnixForm& f) {
                EXPECT_EQ(f.TextAddr->text(), QString("1e300"));
                EXPECT_EQ(f.VScrollAddr->value(), 0);
                EXPECT_EQ(f.ComboProt->currentIndex(), 1);
            }},
        {"negative address holds the bar at its other end", "Addr=-7\r\nProt= 3 \r\n",
            [](FormHarness&, DurnixForm& f) {
                EXPECT_EQ(f.TextAddr->text(), QString("-7"));
                EXPECT_EQ(f.VScrollAddr->value(), 255);
                EXPECT_FALSE(f.TextAddr->isEnabled());
            }},
        {"indexes round half to even", "Port= 2.5 \r\nProt= 0.5 \r\nBits= 1.5 \r\n",
            [](FormHarness& h, DurnixForm& f) {
                EXPECT_EQ(f.ComboPort->currentIndex(), 2);
                EXPECT_EQ(h.comm.commPort(), 3);
                EXPECT_EQ(f.ComboProt->currentIndex(), 0);
                EXPECT_EQ(f.ComboBits->currentIndex(), 2);
            }},
        {"empty port selects none and COM1 is opened", "Port=\r\nProt= 2 \r\n",
            [](FormHarness& h, DurnixForm& f) {
                EXPECT_EQ(f.ComboPort->currentIndex(), -1);
                EXPECT_EQ(h.comm.commPort(), 1);
                EXPECT_EQ(f.ComboProt->currentIndex(), 2);
            }},
        {"later line wins", "Prot= 1 \r\nChars=4\r\nProt= 2 \r\nChars=\r\n",
            [](FormHarness&, DurnixForm& f) {
                EXPECT_EQ(f.ComboProt->currentIndex(), 2);
                EXPECT_EQ(f.TextChars->text(), QString());
            }},
        {"bare LF line ends", "Prot= 1\nLastcmd0=abc\nOutput=xyz\n",
            [](FormHarness&, DurnixForm& f) {
                EXPECT_EQ(f.ComboProt->currentIndex(), 1);
                EXPECT_EQ(f.TextOutput->itemText(0), QString("abc"));
                EXPECT_EQ(f.TextOutput->currentText(), QString("xyz"));
            }},
        {"mixed line ends and no final one", "Lastcmd0=abc\r\nChars=9\nOutput=xyz",
            [](FormHarness&, DurnixForm& f) {
                EXPECT_EQ(f.TextOutput->itemText(0), QString("abc"));
                EXPECT_EQ(f.TextChars->text(), QString("9"));
                EXPECT_EQ(f.TextOutput->currentText(), QString("xyz"));
            }},
        {"window place and outer size", "WindowLeft= 1500 \r\nWindowTop= 900 \r\nWindowWidth= 6000 \r\nWindowHeight= 7500 \r\n",
            [](FormHarness&, DurnixForm& f) {
                EXPECT_EQ(f.frameGeometry(), QRect(100, 60, 400, 500));
                EXPECT_TRUE(f.PlacedBySettings());
            }},
        {"characters beyond ASCII are one byte each", "Output=\xC4\x80\x81\r\n",
            [](FormHarness&, DurnixForm& f) {
                EXPECT_EQ(f.TextOutput->currentText(), QString::fromUtf8("\u00C4\u20AC\u0081"));
            }},
    });
}

TEST(FormSettingsFile, BadLineStopsTheReadingAndKeepsWhatCameBefore)
{
    RunFileCases({
        {"port 17", "WindowLeft= 1500 \r\nWindowTop= 900 \r\nPort= 17 \r\nProt= 3 \r\nAddr=9\r\nMode=Time\r\n"
                    "Lastcmd0=X\r\nOutput=Y\r\n",
            [](FormHarness& h, DurnixForm& f) {
                EXPECT_EQ(f.frameGeometry().topLeft(), QPoint(100, 60));
                EXPECT_EQ(f.ComboPort->currentIndex(), 0);
                EXPECT_EQ(h.comm.commPort(), 1);
                EXPECT_EQ(f.ComboProt->currentIndex(), 0);
                EXPECT_EQ(f.TextAddr->text(), QString("0"));
                EXPECT_TRUE(f.OptionModeFree->isChecked());
                EXPECT_EQ(f.TextOutput->itemText(0), QString());
                EXPECT_EQ(f.TextOutput->currentText(), QString("DISP HELLO"));
            }},
        {"number beyond any range", "Prot= 1 \r\nBits=1e400\r\nPar= 1 \r\n",
            [](FormHarness&, DurnixForm& f) {
                EXPECT_EQ(f.ComboProt->currentIndex(), 1);
                EXPECT_EQ(f.ComboBits->currentIndex(), 3);
                EXPECT_EQ(f.ComboPar->currentIndex(), 0);
            }},
        {"check-box state 7", "Hex= 1 \r\nDisp= 7 \r\nAA= 1 \r\n",
            [](FormHarness&, DurnixForm& f) {
                EXPECT_EQ(VbValue(f.CheckHex), 1);
                EXPECT_EQ(VbValue(f.CheckDisp), 0);
                EXPECT_EQ(VbValue(f.CheckAA), 0);
            }},
        {"list index below -1", "Stop= 1 \r\nBaud=-2 \r\nProt= 1 \r\n",
            [](FormHarness&, DurnixForm& f) {
                EXPECT_EQ(f.ComboStop->currentIndex(), 1);
                EXPECT_EQ(f.ComboBPS->currentIndex(), 4);
                EXPECT_EQ(f.ComboProt->currentIndex(), 0);
            }},
        {"window edge beyond 16 bits", "WindowLeft= 40000 \r\nProt= 1 \r\n",
            [](FormHarness&, DurnixForm& f) {
                EXPECT_FALSE(f.PlacedBySettings());
                EXPECT_EQ(f.ComboProt->currentIndex(), 0);
            }},
    });
}

TEST(FormSettingsFile, LinesItCannotPlaceAreSkipped)
{
    RunFileCases({
        {"no equals sign, empty key, slot 99, unknown and wrong-case keys",
            "garbage line\r\n=x\r\nLastcmd99=\r\nLastcmd99=y\r\nport= 5 \r\nFoo=1\r\n Prot= 2 \r\nProt= 1 \r\n",
            [](FormHarness&, DurnixForm& f) {
                EXPECT_EQ(f.ComboPort->currentIndex(), 0);
                EXPECT_EQ(f.ComboProt->currentIndex(), 1);
                for (int i = 0; i < 5; ++i)
                    EXPECT_EQ(f.TextOutput->itemText(i), QString()) << i;
            }},
        {"unknown mode", "Mode=file\r\nMode=\r\nProt= 1 \r\n",
            [](FormHarness&, DurnixForm& f) {
                EXPECT_TRUE(f.OptionModeFree->isChecked());
                EXPECT_EQ(f.ComboProt->currentIndex(), 1);
            }},
        {"empty file", "",
            [](FormHarness&, DurnixForm& f) {
                EXPECT_EQ(f.ComboBPS->currentIndex(), 4);
                EXPECT_EQ(f.TextOutput->currentText(), QString("DISP HELLO"));
            }},
    });
}

TEST(FormSettingsFile, OddFilesLeaveTheDefaultsAndCloseSafely)
{
    QRandomGenerator random(7301);
    QByteArray noise(3 * 1024 * 1024, '\0');
    random.fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);

    struct OddCase {
        const char* name;
        std::function<void(FormHarness&)> prepare;
        std::function<void(FormHarness&, DurnixForm&)> check;
    };
    const std::vector<OddCase> cases = {
        {"random bytes, then a good line",
            [&](FormHarness& h) { h.WriteSettings(noise + "\r\nOutput=after the noise\r\n"); },
            [](FormHarness& h, DurnixForm& f) {
                EXPECT_EQ(f.TextOutput->currentText(), QString("after the noise"));
                h.Close();
                EXPECT_TRUE(h.ReadSettings().startsWith("WindowLeft=")) << "written anew";
            }},
        {"a file far larger than ours",
            [](FormHarness& h) {
                QFile file(h.folder.filePath("durnix.ini"));
                ASSERT_TRUE(file.open(QIODevice::WriteOnly));
                file.write("Prot= 1 \r\n");
                ASSERT_TRUE(file.resize(100 * 1024 * 1024)); // sparse
            },
            [](FormHarness& h, DurnixForm& f) {
                EXPECT_EQ(f.ComboProt->currentIndex(), 0);
                h.Close();
                EXPECT_TRUE(h.ReadSettings().startsWith("WindowLeft="));
            }},
        {"a directory in the file's place",
            [](FormHarness& h) { ASSERT_TRUE(QDir(h.folder.path()).mkdir("durnix.ini")); },
            [](FormHarness& h, DurnixForm& f) {
                EXPECT_EQ(f.TextOutput->currentText(), QString("DISP HELLO"));
                h.Close();
                EXPECT_TRUE(QFileInfo(h.folder.filePath("durnix.ini")).isDir());
                EXPECT_EQ(QDir(h.folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
            }},
        {"only the capitalised name",
            [](FormHarness& h) {
                QFile file(h.folder.filePath("Durnix.ini"));
                ASSERT_TRUE(file.open(QIODevice::WriteOnly));
                file.write("Prot= 2 \r\n");
            },
            [](FormHarness& h, DurnixForm& f) {
                EXPECT_EQ(f.ComboProt->currentIndex(), 2);
                h.Close();
                EXPECT_TRUE(h.ReadSettings().contains("\r\nProt= 2 \r\n"));
            }},
    };
    for (const OddCase& c : cases) {
        SCOPED_TRACE(c.name);
        FormHarness h;
        c.prepare(h);
        DurnixForm& f = h.Start();
        ExpectStartedNormally(h, f);
        c.check(h, f);
    }
}

TEST(FormSettingsFile, FailedWriteAtCloseKeepsThePreviousFile)
{
    FormHarness h;
    const QByteArray previous = "Prot= 2 \r\nOutput=keep me\r\n";
    h.WriteSettings(previous);
    DurnixForm& f = h.Start();
    f.ComboProt->setCurrentIndex(5);
    {
        const FileSizeLimit limit(64);
        h.Close();
    }
    EXPECT_EQ(h.ReadSettings(), previous);
    EXPECT_EQ(QDir(h.folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList {"durnix.ini"})
        << "no temporary file left behind";
}

// Whatever a damaged file did to the window, what it writes at close reads
// back to the same state: a second round writes the same bytes.
TEST(FormSettingsFile, DamagedFilesSettleAfterOneRewrite)
{
    QRandomGenerator random(5021);
    for (int round = 0; round < 40; ++round) {
        QByteArray file = kBusyFile;
        for (int edit = random.bounded(1, 10); edit > 0; --edit) {
            const qsizetype at = random.bounded(file.size() + 1);
            switch (random.bounded(3)) {
            case 0:
                file.insert(at, char(random.bounded(256)));
                break;
            case 1:
                file.remove(at, random.bounded(1, 12));
                break;
            default:
                if (at < file.size())
                    file[at] = char(random.bounded(256));
            }
        }
        SCOPED_TRACE(file.toStdString());
        FormHarness first;
        first.WriteSettings(file);
        ExpectStartedNormally(first, first.Start());
        first.Close();
        const QByteArray rewritten = first.ReadSettings();

        FormHarness second;
        second.WriteSettings(rewritten);
        ExpectStartedNormally(second, second.Start());
        second.Close();
        ASSERT_EQ(second.ReadSettings(), rewritten);
    }
}

TEST(FormSettingsFile, ShownWindowComesBackWithTheSameOuterSize)
{
    FormHarness first;
    DurnixForm& f = first.Start();
    f.setGeometry(100, 50, 391, 444);
    f.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
    const QRect frame = f.frameGeometry();
    first.Close();

    FormHarness second;
    second.WriteSettings(first.ReadSettings());
    DurnixForm& g = second.Start();
    g.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&g));
    EXPECT_EQ(g.frameGeometry(), frame);
}
