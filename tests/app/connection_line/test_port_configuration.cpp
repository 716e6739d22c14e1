#include "app/lamp.h"
#include "app/vb_controls.h"
#include "common/interval_timer.h"
#include "form_harness.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <vector>

namespace
{

using Combo = QComboBox* DurnixForm::*;

const QStringList kReopen = { "CLOSE", "DTR=1", "RTS=0", "OPEN" };

QStringList LastEntries(const QStringList& log, int count)
{
    return log.mid(std::max<qsizetype>(0, log.size() - count));
}

} // namespace

TEST(PortConfiguration, EachPickReopensThePortWithTheSelectedFormat)
{
    struct Pick {
        Combo combo;
        int index;
    };
    const struct {
        const char* name;
        std::vector<Pick> picks;
        int port;
        QString settings;
    } cases[] = {
        { "last port", { { &DurnixForm::ComboPort, 15 } }, 16, "4800,N,8,1" },
        { "fastest speed", { { &DurnixForm::ComboBPS, 11 } }, 1, "115200,N,8,1" },
        { "mark, 7 bits, 2 stops",
            { { &DurnixForm::ComboPar, 4 }, { &DurnixForm::ComboBits, 2 }, { &DurnixForm::ComboStop, 1 } }, 1,
            "4800,M,7,2" },
        { "no parity selected", { { &DurnixForm::ComboBPS, 5 }, { &DurnixForm::ComboPar, -1 } }, 1,
            "9600,8,1" },
        { "no stop bits selected", { { &DurnixForm::ComboStop, -1 } }, 1, "4800,N,8" },
        { "no data bits selected", { { &DurnixForm::ComboBits, -1 } }, 1, "4800,N,4,1" },
        { "no port selected", { { &DurnixForm::ComboPort, 4 }, { &DurnixForm::ComboPort, -1 } }, 1,
            "4800,N,8,1" },
    };
    for (const auto& c : cases) {
        FormHarness h;
        DurnixForm& f = h.Start();
        for (const Pick& pick : c.picks)
            (f.*pick.combo)->setCurrentIndex(pick.index);
        EXPECT_EQ(h.comm.commPort(), c.port) << c.name;
        EXPECT_EQ(h.comm.settingsText, c.settings) << c.name;
        EXPECT_EQ(h.comm.openCount, 1 + int(c.picks.size())) << c.name;
        EXPECT_EQ(LastEntries(h.comm.log, 4), kReopen) << c.name;
        EXPECT_EQ(h.comm.handshaking, 0) << c.name;
        EXPECT_EQ(h.comm.rThreshold, 1) << c.name;
        EXPECT_TRUE(h.comm.portOpen()) << c.name;
    }
}

TEST(PortConfiguration, TypingASpeedReconfiguresAtEveryKeystroke)
{
    FormHarness h;
    DurnixForm& f = h.Start();
    f.ComboPort->setCurrentIndex(2);
    f.ComboBPS->setCurrentIndex(5);
    QCoreApplication::processEvents();
    QStringList seen;
    QObject::connect(f.ComboBPS->lineEdit(), &QLineEdit::textEdited, [&] { seen << h.comm.settingsText; });
    const int opens = h.comm.openCount;
    f.ComboBPS->lineEdit()->selectAll();
    QTest::keyClicks(f.ComboBPS->lineEdit(), "19200");
    EXPECT_EQ(seen, QStringList({ "1,N,8,1", "19,N,8,1", "192,N,8,1", "1920,N,8,1", "19200,N,8,1" }));
    EXPECT_EQ(h.comm.openCount, opens + 5);

    // Typing into the other boxes starts nothing; a typed text there is no list position.
    f.ComboPar->setEditText("X");
    f.ComboPort->setEditText("COM9");
    EXPECT_EQ(h.comm.openCount, opens + 5);
    f.ComboStop->setCurrentIndex(1);
    EXPECT_EQ(h.comm.settingsText, QString("19200,8,2"));
    EXPECT_EQ(h.comm.commPort(), 1);
}

TEST(PortConfiguration, PickingTheSelectedEntryAgainReopensThePort)
{
    for (Combo combo : { &DurnixForm::ComboPort, &DurnixForm::ComboBPS, &DurnixForm::ComboBits,
             &DurnixForm::ComboPar, &DurnixForm::ComboStop }) {
        FormHarness h;
        DurnixForm& f = h.Start();
        QComboBox* box = f.*combo;
        const std::string name = box->objectName().toStdString();
        h.comm.raise(MSComm::comEventFrame);
        QCoreApplication::processEvents();
        h.comm.log.clear();

        emit box->activated(box->currentIndex());
        EXPECT_EQ(h.comm.log, kReopen) << name;
        EXPECT_EQ(f.LineErrors, 0) << name;
        EXPECT_EQ(f.ShapeFraming->fillColor(), QColor(Qt::black)) << name;

        // The operator picking another entry: index change and activation in one go, one reopen.
        const int other = (box->currentIndex() + 1) % box->count();
        box->setCurrentIndex(other);
        emit box->activated(other);
        EXPECT_EQ(h.comm.log, kReopen + kReopen) << name;
    }
}

TEST(PortConfiguration, StartUpOpensThePortOnceWithTheLoadedSettings)
{
    const struct {
        const char* name;
        QByteArray ini;
        bool failOpen;
        int port;
        QString settings;
        QStringList log;
    } cases[] = {
        { "no settings file", {}, false, 1, "4800,N,8,1", { "DTR=1", "RTS=0", "OPEN" } },
        { "the defaults again", "Port= 1 \r\nBaud= 4 \r\nBits= 3 \r\nPar= 0 \r\nStop= 0 \r\n", false, 1,
            "4800,N,8,1", { "DTR=1", "RTS=0", "OPEN" } },
        { "every box changed",
            "Port= 3 \r\nBaud= 7 \r\nBits= 2 \r\nPar= 2 \r\nStop= 1 \r\nDTR= 0 \r\nRTS= 1 \r\n", false, 3,
            "19200,E,7,2", { "DTR=0", "RTS=1", "OPEN" } },
        { "greyed lines count as raised", "DTR= 2 \r\nRTS= 2 \r\n", false, 1, "4800,N,8,1",
            { "DTR=1", "RTS=1", "OPEN" } },
        { "missing device", "Port= 2 \r\n", true, 2, "4800,N,8,1", { "DTR=1", "RTS=0" } },
    };
    for (const auto& c : cases) {
        FormHarness h;
        if (!c.ini.isEmpty())
            h.WriteSettings(c.ini);
        h.comm.failOpen = c.failOpen;
        DurnixForm& f = h.Start();
        EXPECT_EQ(h.comm.log, c.log) << c.name;
        EXPECT_EQ(h.comm.openCount, c.failOpen ? 0 : 1) << c.name;
        EXPECT_EQ(h.comm.commPort(), c.port) << c.name;
        EXPECT_EQ(h.comm.settingsText, c.settings) << c.name;
        EXPECT_EQ(h.portFailures.size(), c.failOpen ? 1 : 0) << c.name;
        EXPECT_EQ(f.Loading, 0) << c.name;
    }
}

TEST(PortConfiguration, FailedSetUpIsReportedAndLeavesLampsUntilALaterSuccess)
{
    const struct {
        const char* name;
        bool FakeComm::*failure;
        QString detail;
    } cases[] = {
        { "device missing", &FakeComm::failOpen, "no such device" },
        { "settings refused", &FakeComm::rejectSettings, "bad settings" },
    };
    for (const auto& c : cases) {
        FormHarness h;
        DurnixForm& f = h.Start();
        h.comm.cts = true;
        h.comm.raise(MSComm::comEvCTS);
        h.comm.raise(MSComm::comEventFrame);
        f.TextRepeat->setText("5");
        SetVbValue(f.CheckRepeat, 1);
        ASSERT_TRUE(f.RepeatTimer->isEnabled()) << c.name;

        h.comm.*c.failure = true;
        f.ComboPort->setCurrentIndex(1);
        EXPECT_EQ(h.portFailures, QStringList { c.detail }) << c.name;
        EXPECT_EQ(VbValue(f.CheckRepeat), 0) << c.name;
        EXPECT_FALSE(f.RepeatTimer->isEnabled()) << c.name;
        EXPECT_FALSE(h.comm.portOpen()) << c.name;
        EXPECT_EQ(f.LineErrors, 1) << c.name;
        EXPECT_EQ(f.ShapeFraming->fillColor(), QColor(255, 0, 0)) << c.name;
        EXPECT_EQ(f.ShapeCTS->fillColor(), QColor(0, 255, 0)) << c.name;
        EXPECT_EQ(f.ComboPort->currentText(), QString("COM2")) << "the choice is kept: " << c.name;

        const auto writes = h.comm.writes.size();
        f.CommandSend->click();
        EXPECT_EQ(h.beeps, 1) << "a send on the closed port only beeps: " << c.name;
        EXPECT_EQ(h.comm.writes.size(), writes) << c.name;

        f.ComboPort->setCurrentIndex(2);
        EXPECT_EQ(h.portFailures.size(), 2) << "one box per failure: " << c.name;

        h.comm.*c.failure = false;
        h.comm.cts = false;
        f.ComboPort->setCurrentIndex(3);
        EXPECT_EQ(h.portFailures.size(), 2) << c.name;
        EXPECT_TRUE(h.comm.portOpen()) << c.name;
        EXPECT_EQ(h.comm.commPort(), 4) << c.name;
        EXPECT_EQ(f.ShapeFraming->fillColor(), QColor(Qt::black)) << c.name;
        EXPECT_EQ(f.ShapeCTS->fillColor(), QColor(Qt::black)) << c.name;
    }
}
