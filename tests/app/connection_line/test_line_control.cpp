#include "app/lamp.h"
#include "app/vb_controls.h"
#include "common/interval_timer.h"
#include "form_harness.h"

#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace
{
const QString kHelloPacket = "WRITE 80 44 49 53 50 20 48 45 4C 4C 4F 03 6F";
}

TEST(LineControl, CheckBoxesDriveTheLinesAndAutoRtsTakesOverRts)
{
    const struct {
        const char* step;
        std::function<void(DurnixForm&)> act;
        QStringList log; // what the step adds
        int rtsValue;
        bool rtsEnabled;
    } steps[] = {
        { "DTR off", [](DurnixForm& f) { SetVbValue(f.CheckDTR, 0); }, { "DTR=0" }, 0, true },
        { "DTR greyed", [](DurnixForm& f) { SetVbValue(f.CheckDTR, 2); }, { "DTR=1" }, 0, true },
        { "RTS on", [](DurnixForm& f) { SetVbValue(f.CheckRTS, 1); }, { "RTS=1" }, 1, true },
        { "AutoRTS on", [](DurnixForm& f) { SetVbValue(f.CheckAutoRTS, 1); }, { "RTS=0" }, 0, false },
        { "AutoRTS off", [](DurnixForm& f) { SetVbValue(f.CheckAutoRTS, 0); }, {}, 0, true },
        { "RTS on again", [](DurnixForm& f) { SetVbValue(f.CheckRTS, 1); }, { "RTS=1" }, 1, true },
        { "reopen", [](DurnixForm& f) { f.ComboBPS->setCurrentIndex(5); },
            { "CLOSE", "DTR=1", "RTS=1", "OPEN" }, 1, true },
        { "AutoRTS greyed", [](DurnixForm& f) { SetVbValue(f.CheckAutoRTS, 2); }, { "RTS=0" }, 0, false },
        { "reopen under AutoRTS", [](DurnixForm& f) { f.ComboBPS->setCurrentIndex(4); },
            { "CLOSE", "DTR=1", "RTS=0", "OPEN" }, 0, false },
    };
    FormHarness h;
    DurnixForm& f = h.Start();
    ASSERT_EQ(h.comm.log, QStringList({ "DTR=1", "RTS=0", "OPEN" }));
    for (const auto& s : steps) {
        h.comm.log.clear();
        s.act(f);
        EXPECT_EQ(h.comm.log, s.log) << s.step;
        EXPECT_EQ(VbValue(f.CheckRTS), s.rtsValue) << s.step;
        EXPECT_EQ(f.CheckRTS->isEnabled(), s.rtsEnabled) << s.step;
    }
}

TEST(LineControl, AutoRtsFromTheSettingsFileOpensThePortWithRtsLow)
{
    FormHarness h;
    h.WriteSettings("RTS= 1 \r\nAutoRTS= 1 \r\n");
    DurnixForm& f = h.Start();
    EXPECT_EQ(VbValue(f.CheckAutoRTS), 1);
    EXPECT_EQ(VbValue(f.CheckRTS), 0);
    EXPECT_FALSE(f.CheckRTS->isEnabled());
    EXPECT_EQ(h.comm.log, QStringList({ "DTR=1", "RTS=0", "OPEN" }));
}

TEST(LineControl, AutoRtsIsHighWhileThePacketIsOnTheLine)
{
    FormHarness h;
    DurnixForm& f = h.Start();
    f.ComboBPS->setCurrentIndex(5); // 9600 8N1: 13 bytes take 14 ms with half a character
    SetVbValue(f.CheckAutoRTS, 1);
    h.comm.log.clear();

    f.CommandSend->click();
    EXPECT_EQ(h.comm.log, QStringList({ "DISCARD", "RTS=1", kHelloPacket }));
    EXPECT_EQ(f.RTSTimer->interval(), 14);
    EXPECT_TRUE(QTest::qWaitFor([&] { return h.comm.log.size() == 4; }, 2000));
    EXPECT_EQ(h.comm.log.value(3), QString("RTS=0"));
    EXPECT_EQ(f.RTSTimer->interval(), 0);
    EXPECT_FALSE(f.RTSTimer->isTicking());

    // Switching AutoRTS off while the packet goes out leaves RTS to the pending tick.
    h.comm.log.clear();
    f.CommandSend->click();
    SetVbValue(f.CheckAutoRTS, 0);
    EXPECT_EQ(h.comm.log, QStringList({ "DISCARD", "RTS=1", kHelloPacket }));
    EXPECT_TRUE(QTest::qWaitFor([&] { return h.comm.log.size() == 4; }, 2000));
    EXPECT_EQ(h.comm.log.value(3), QString("RTS=0"));
    EXPECT_TRUE(f.CheckRTS->isEnabled());

    // Without AutoRTS a send leaves RTS and the timer alone.
    h.comm.log.clear();
    f.CommandSend->click();
    EXPECT_EQ(h.comm.log, QStringList({ "DISCARD", kHelloPacket }));
    EXPECT_EQ(f.RTSTimer->interval(), 0);
}

TEST(LineControl, BreakHoldsTheLineWhileTheWindowGoesOn)
{
    const struct {
        const char* name;
        bool autoRts, portOpen, nested;
        QStringList log;
        QString captionDuring;
    } cases[] = {
        { "plain", false, true, false, { "BREAK=1", "BREAK=0" }, "&Break!" },
        { "AutoRTS", true, true, false, { "RTS=1", "BREAK=1", "BREAK=0", "RTS=0" }, "&Break!" },
        { "second click inside", false, true, true, { "BREAK=1", "BREAK=1", "BREAK=0", "BREAK=0" },
            "&Break!" },
        { "closed port", false, false, false, {}, "&Break" },
    };
    for (const auto& c : cases) {
        FormHarness h;
        h.comm.failOpen = !c.portOpen;
        DurnixForm& f = h.Start();
        SetVbValue(f.CheckAutoRTS, c.autoRts ? 1 : 0);
        h.comm.log.clear();

        QString captionDuring = "(no event handled)";
        QString captionAfterInner;
        QTimer::singleShot(0, &f, [&] {
            captionDuring = f.CommandBreak->text();
            h.comm.raise(MSComm::comEventFrame);
            if (c.nested) {
                f.CommandBreak->click();
                captionAfterInner = f.CommandBreak->text();
            }
        });
        f.CommandBreak->click();
        if (!c.portOpen) { // nothing waits, so let the queued event in now
            EXPECT_TRUE(QTest::qWaitFor([&] { return f.LineErrors != 0; }, 2000)) << c.name;
        }

        EXPECT_EQ(h.comm.log, c.log) << c.name;
        EXPECT_EQ(captionDuring, c.captionDuring) << c.name;
        EXPECT_EQ(f.CommandBreak->text(), QString("&Break")) << c.name;
        EXPECT_FALSE(h.comm.breakOn) << c.name;
        EXPECT_EQ(f.ShapeFraming->fillColor(), QColor(255, 0, 0))
            << "line events go on during a break: " << c.name;
        if (c.nested) {
            EXPECT_EQ(captionAfterInner, QString("&Break")) << c.name;
        }
    }
}
