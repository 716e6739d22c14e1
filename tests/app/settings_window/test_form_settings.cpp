// The window reading durnix.ini at start-up and writing it at close.
#include "form_harness.h"

void PrintTo(const QSize& size, std::ostream* out)
{
    *out << size.width() << 'x' << size.height();
}

namespace
{

// Every setting away from its default.
const QByteArray kBusyFile
    = "WindowLeft= 1800 \r\nWindowTop= 1200 \r\nWindowWidth= 6000 \r\nWindowHeight= 6900 \r\n"
      "Port= 3 \r\nCOM3=/dev/pts/7\r\nCOM12=/dev/serial/by-id/usb-x\r\n"
      "Baud= 11 \r\nBits= 1 \r\nPar= 2 \r\nStop= 1 \r\nProt= 3 \r\nAddr=17\r\nRepeat=2.5\r\n"
      "DTR= 0 \r\nRTS= 2 \r\nAutoRTS= 0 \r\n"
      "Mode=File\r\nFilename=/srv/durnix/commands.txt\r\nRepeatON= 1 \r\n"
      "Time= 3 \r\nHex= 1 \r\nDisp= 2 \r\nAA= 1 \r\nChars=12\r\nNoscroll= 1 \r\n"
      "Modefreedisp= 0.5 \r\nModetimedisp=-2 \r\nModefiledisp= 0 \r\n"
      "Lastcmd0=DISP A=1, \"two\", 'three'\r\nLastcmddisp0=1\r\nLastcmdhex0=0\r\n"
      "Lastcmd2=RAW\r\nLastcmddisp2=0\r\nLastcmdhex2=0\r\n"
      "Lastcmd3=X\xC4\x80\r\nLastcmddisp3=2\r\nLastcmdhex3=1.5\r\n"
      "Output=PING \"42\", a=b\r\nLowLatency= 0 \r\n";

// The controls and memories the file sets, beyond the port it opens, as "name=value" words.
QString Shown(const DurnixForm& f)
{
    QStringList words { f.ComboTime->currentText(), f.TextAddr->text(), f.TextRepeat->text(),
        f.TextChars->text(), f.TextOutput->currentText(), f.CommandFileName,
        f.OptionModeFile->isChecked() ? "file" : "other" };
    for (const QCheckBox* check :
        { f.CheckRTS, f.CheckRepeat, f.CheckHex, f.CheckDisp, f.CheckAA, f.CheckPatkittain })
        words << check->objectName() + '=' + QString::number(VbValue(check));
    for (int i = 0; i < 5; ++i)
        words << f.TextOutput->itemText(i) + '/' + QString::number(f.Recent.disp[i].value_or(9)) + '/'
                + QString::number(f.Recent.hex[i].value_or(9));
    return words.join(' ') + QString(" %1 %2 %3").arg(f.ModeFreeDisp).arg(f.ModeTimeDisp).arg(f.ModeFileDisp);
}

// Starts the window on `file`; start-up must finish the same way whatever the file held.
DurnixForm& StartWith(FormHarness& h, const QByteArray& file)
{
    h.WriteSettings(file);
    DurnixForm& f = h.Start();
    EXPECT_EQ(f.Loading, 0);
    EXPECT_EQ(h.comm.log.count("OPEN"), 1);
    EXPECT_EQ(f.TextOutput->count(), 5);
    return f;
}

} // namespace

// Read, shown and written again byte for byte: a setting that one way dropped or misplaced would change.
TEST(FormSettingsFile, EverySettingIsReadShownAndWrittenBackToTheSameBytes)
{
    FormHarness h;
    h.portMap = PortMap::FromSettingsBytes(kBusyFile);
    const DurnixForm& f = StartWith(h, kBusyFile);
    EXPECT_EQ(f.frameGeometry(), QRect(120, 80, 400, 460));
    EXPECT_EQ(h.comm.commPort(), 3);
    EXPECT_EQ(h.comm.settingsText, QString("115200,E,6,2"));
    EXPECT_EQ(h.comm.log, QStringList({ "DTR=0", "RTS=1", "OPEN" })) << "a greyed RTS counts as raised";
    EXPECT_FALSE(h.comm.lowLatency());
    EXPECT_EQ(Shown(f),
        QString::fromUtf8(
            "mm.ss 17 2.5 12 PING \"42\", a=b /srv/durnix/commands.txt file CheckRTS=2 CheckRepeat=1 "
            "CheckHex=1 CheckDisp=2 CheckAA=1 CheckPatkittain=1 DISP A=1, \"two\", 'three'/1/0 /9/9 "
            "RAW/0/0 XÄ€/2/1.5 /9/9 0.5 -2 0"));
    EXPECT_TRUE(f.RepeatTimer->isEnabled()) << "repetition starts with the program";
    EXPECT_EQ(f.RepeatTimer->interval(), 2500);
    h.form->close(); // as the operator closes it, which writes durnix.ini
    EXPECT_EQ(h.ReadSettings(), kBusyFile);
}

// An address beyond the bar holds the bar at its end, an empty remembered state reads as 0, and a window
// beyond 16 bits of twips is placed there: the reading goes on. A port beyond the list stops it.
TEST(FormSettingsFile, PortBeyondTheListStopsTheReadingAndKeepsWhatCameBefore)
{
    FormHarness h;
    DurnixForm& f = StartWith(h,
        "WindowLeft= 34500 \r\nWindowTop= 900 \r\nWindowWidth= 6000 \r\nAddr=1e300\r\nProt= 1 "
        "\r\nLastcmd1=X\r\nLastcmddisp1=\r\n"
        "Lastcmdhex1= \r\nPort= 17 \r\nProt= 3 \r\nOutput=Y\r\n");
    EXPECT_EQ(f.Recent.disp[1], RememberedState(0));
    EXPECT_EQ(f.Recent.hex[1], RememberedState(0));
    EXPECT_EQ(f.frameGeometry().topLeft(), QPoint(2300, 60));
    EXPECT_EQ(f.TextAddr->text() + ' ' + QString::number(f.VScrollAddr->value()), QString("1e300 0"));
    EXPECT_EQ(f.ComboPort->currentIndex(), 0);
    EXPECT_EQ(h.comm.commPort(), 1);
    EXPECT_EQ(f.ComboProt->currentIndex(), 1);
    EXPECT_EQ(f.TextOutput->currentText(), QString("DISP HELLO"));
    // With that monitor gone the window comes back onto the one that is left; how is the placement's concern.
    f.KeepOnScreens({ QRect(0, 0, 1920, 1080) });
    EXPECT_EQ(f.frameGeometry(), QRect(1520, 60, 400, f.height()));
}

TEST(FormSettingsFile, MaximisedWindowWritesNoPlaceOrSize)
{
    FormHarness h;
    h.Start().showMaximized();
    h.form->close(); // as the operator closes it, which writes durnix.ini
    EXPECT_TRUE(h.ReadSettings().startsWith("Port= 1 \r\n"));
}

// The outer size from durnix.ini goes round the frame once the frame is known, a side the file does not give
// keeping the design's inner one. The operator's resize then stands through a move and is what the file gets
// at close, framed or not (a frameless window stands for one that no window manager frames).
TEST(FormWindowSize, RestoredSidesGoRoundTheFrameAndTheOperatorsResizeStandsThroughAMove)
{
    // Offscreen frames are 2 pixels all round; the design's inner size is 391 x 444.
    const std::tuple<const char*, QByteArray, bool, QSize> cases[] = {
        { "both sides", "WindowWidth= 6000 \r\nWindowHeight= 6900 \r\n", false, { 400, 460 } },
        { "width alone", "WindowWidth= 6000 \r\n", false, { 400, 448 } },
        { "height alone", "WindowHeight= 6900 \r\n", false, { 395, 460 } },
        { "no frame", "WindowWidth= 6000 \r\nWindowHeight= 6900 \r\n", true, { 400, 460 } },
    };
    for (const auto& [name, file, frameless, outer] : cases) {
        FormHarness h;
        DurnixForm& f = StartWith(h, file);
        f.setWindowFlag(Qt::FramelessWindowHint, frameless);
        f.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&f)) << name;
        EXPECT_EQ(f.frameGeometry().size(), outer) << name;
        f.resize(500, 520);
        f.move(300, 200);
        EXPECT_EQ(f.size(), QSize(500, 520)) << name;
        f.close();
        const int frame = frameless ? 0 : 4;
        EXPECT_TRUE(h.ReadSettings().contains(QString("WindowWidth= %1 \r\nWindowHeight= %2 ")
                                                  .arg((500 + frame) * 15)
                                                  .arg((520 + frame) * 15)
                                                  .toLatin1()))
            << name;
    }
}
