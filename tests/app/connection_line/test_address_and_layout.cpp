#include "app/display_label.h"
#include "form_harness.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

TEST(DeviceAddress, TypedAddressAndBarStayInStep)
{
    const struct {
        QString from, typed, text;
        int bar;
    } cases[] = {
        { "10", "007", "7", 248 },
        { "10", "1.5", "1", 254 }, // 255 - 1.5 rounds half to even
        { "10", "abc", "0", 255 },
        { "10", "0", "0", 255 },
        { "10", "255", "255", 0 },
        { "10", "300", "300", 0 }, // beyond the bar: held at its end, text as typed
        { "10", "-5", "-5", 255 },
        { "7", "07", "07", 248 }, // the bar does not move, so the text is not rewritten
        { "7", " &H1F", "31", 224 },
    };
    FormHarness h;
    DurnixForm& f = h.Start();
    for (const auto& c : cases) {
        const std::string name = (c.from + " then " + c.typed).toStdString();
        f.TextAddr->setText(c.from);
        f.TextAddr->setText(c.typed);
        EXPECT_EQ(f.TextAddr->text(), c.text) << name;
        EXPECT_EQ(f.VScrollAddr->value(), c.bar) << name;
    }
}

TEST(DeviceAddress, BarArrowsStepTheAddressWithinItsRange)
{
    const struct {
        QString from;
        QAbstractSlider::SliderAction arrow;
        QString text;
    } cases[] = {
        { "0", QAbstractSlider::SliderSingleStepSub, "1" }, // the upper arrow raises the address
        { "0", QAbstractSlider::SliderSingleStepAdd, "0" },
        { "7", QAbstractSlider::SliderSingleStepAdd, "6" },
        { "255", QAbstractSlider::SliderSingleStepSub, "255" },
        { "255", QAbstractSlider::SliderSingleStepAdd, "254" },
        { "300", QAbstractSlider::SliderSingleStepSub, "300" },
        { "300", QAbstractSlider::SliderSingleStepAdd, "254" },
    };
    FormHarness h;
    DurnixForm& f = h.Start();
    for (const auto& c : cases) {
        f.TextAddr->setText("10");
        f.TextAddr->setText(c.from);
        f.VScrollAddr->triggerAction(c.arrow);
        EXPECT_EQ(f.TextAddr->text(), c.text) << c.from.toStdString() << " arrow " << c.arrow;
    }
}

TEST(DeviceAddress, FramingReadsTheAddressAsTyped)
{
    const struct {
        QString typed;
        int protocol;
        char addressByte;
    } cases[] = {
        { "300", 0, char(0xAC) }, // low seven bits, top bit set
        { "-5", 0, char(0xFB) },
        { "200", 6, char(0xC8) }, // Modbus takes the low eight bits
        { "300", 6, char(0x2C) },
        { "1.5", 0, char(0x81) },
    };
    FormHarness h;
    DurnixForm& f = h.Start();
    for (const auto& c : cases) {
        f.ComboProt->setCurrentIndex(c.protocol);
        f.TextAddr->setText("10");
        f.TextAddr->setText(c.typed);
        f.CommandSend->click();
        ASSERT_FALSE(h.comm.writes.isEmpty());
        EXPECT_EQ(h.comm.writes.last().at(0), c.addressByte)
            << c.typed.toStdString() << " protocol " << c.protocol;
    }
}

TEST(DeviceAddress, ProtocolsWithoutAnAddressGreyTheBox)
{
    FormHarness h;
    DurnixForm& f = h.Start();
    f.TextAddr->setText("42");
    for (int protocol : { 3, 0, 5, 1, 2, 4, 6, 7, 3 }) {
        f.ComboProt->setCurrentIndex(protocol);
        EXPECT_EQ(f.TextAddr->isEnabled(), protocol != 3 && protocol != 5) << protocol;
        EXPECT_TRUE(f.VScrollAddr->isEnabled()) << protocol;
        EXPECT_EQ(f.TextAddr->text(), QString("42")) << protocol;
    }
}

TEST(WindowLayout, LowerFramesAndWideControlsFollowTheWindow)
{
    FormHarness h;
    DurnixForm& f = h.Start();
    f.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
    const QRect upper[] = { f.Frame1->geometry(), f.Frame2->geometry(), f.Frame3->geometry() };
    const int frame4Top = f.Frame4->y(), frame5Top = f.Frame5->y(), frame4Height = f.Frame4->height();
    const QWidget* wide[] = { f.TextInput, f.TextOutput, f.TextOutputhex, f.TextInputHex, f.CommandSend };

    // Sizes in pixels (15 twips each); the controls keep 8 px (120 twips) margins.
    const struct {
        int width, height;
        int wideWidth;
        int growth; // of Frame5 and TextInput against the previous row; -1 leaves them unchecked
    } cases[] = {
        { 391, 444, 375, -1 }, // the design's client area
        { 391, 544, 375, 100 }, { 600, 544, 584, 0 }, { 23, 544, 7, 0 }, // 105 twips still stretch
        { 22, 544, 7, 0 }, // 90 twips do not
        { 10, 10, 7, 0 }, // next to minimised: no height applies either
    };
    int frame5Height = 0, inputHeight = 0;
    for (const auto& c : cases) {
        const std::string name = std::to_string(c.width) + "x" + std::to_string(c.height);
        f.resize(c.width, c.height);
        EXPECT_TRUE(QTest::qWaitFor([&] { return f.Frame4->width() == c.width; }, 2000)) << name;
        EXPECT_EQ(f.Frame5->width(), c.width) << name;
        for (const QWidget* control : wide)
            EXPECT_EQ(control->width(), c.wideWidth) << name << " " << control->objectName().toStdString();
        if (c.growth >= 0) {
            EXPECT_EQ(f.Frame5->height() - frame5Height, c.growth) << name;
            EXPECT_EQ(f.TextInput->height() - inputHeight, c.growth) << name;
        }
        frame5Height = f.Frame5->height();
        inputHeight = f.TextInput->height();
        EXPECT_EQ(f.Frame1->geometry(), upper[0]) << name;
        EXPECT_EQ(f.Frame2->geometry(), upper[1]) << name;
        EXPECT_EQ(f.Frame3->geometry(), upper[2]) << name;
        EXPECT_EQ(f.Frame4->y(), frame4Top) << name;
        EXPECT_EQ(f.Frame4->height(), frame4Height) << name;
        EXPECT_EQ(f.Frame5->y(), frame5Top) << name;
    }
}
