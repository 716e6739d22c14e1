#include "app/display_label.h"
#include "app/lamp.h"
#include "app/vb_controls.h"
#include "common/interval_timer.h"
#include "form_harness.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

TEST(FormStartup, FirstStartWithoutSettingsShowsTheDefaults)
{
    FormHarness h;
    DurnixForm& f = h.Start();
    EXPECT_EQ(f.windowTitle(), QString("Durnix - V1.0"));
    EXPECT_EQ(f.ComboPort->currentText(), QString("COM1"));
    EXPECT_EQ(f.ComboBPS->currentText(), QString("4800"));
    EXPECT_EQ(f.ComboBits->currentText(), QString("8"));
    EXPECT_EQ(f.ComboPar->currentText(), QString("N"));
    EXPECT_EQ(f.ComboStop->currentText(), QString("1"));
    EXPECT_EQ(f.ComboProt->currentText(), QString("VXB, with BCC"));
    EXPECT_EQ(f.TextAddr->text(), QString("0"));
    EXPECT_EQ(f.VScrollAddr->value(), 255);
    EXPECT_EQ(f.TextRepeat->text(), QString("0"));
    EXPECT_EQ(f.TextCount->text(), QString());
    EXPECT_EQ(f.ComboTime->currentText(), QString("ss"));
    EXPECT_TRUE(f.OptionModeFree->isChecked());
    EXPECT_EQ(f.CheckDTR->checkState(), Qt::Checked);
    for (QCheckBox* check : {f.CheckRTS, f.CheckAutoRTS, f.CheckRepeat, f.CheckWaitForResponse, f.CheckHex,
             f.CheckDisp, f.CheckAA, f.CheckPatkittain})
        EXPECT_EQ(check->checkState(), Qt::Unchecked) << check->objectName().toStdString();
    EXPECT_EQ(f.TextChars->text(), QString("6"));
    EXPECT_EQ(f.TextOutput->currentText(), QString("DISP HELLO"));
    ASSERT_EQ(f.TextOutput->count(), 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(f.TextOutput->itemText(i).isEmpty());
    EXPECT_TRUE(f.TextOutputhex->text().isEmpty());
    EXPECT_TRUE(f.TextInputHex->text().isEmpty());
    EXPECT_TRUE(f.TextInput->text().isEmpty());
    EXPECT_EQ(h.comm.settingsText, QString("4800,N,8,1"));
    EXPECT_EQ(h.comm.commPort(), 1);
    EXPECT_EQ(h.comm.openCount, 1);
    EXPECT_TRUE(h.comm.dtr);
    EXPECT_FALSE(h.comm.rts);
    EXPECT_TRUE(h.portFailures.isEmpty());
}

TEST(FormStartup, FreeTextModeEnablesOnlyItsControls)
{
    FormHarness h;
    DurnixForm& f = h.Start();
    EXPECT_TRUE(f.CheckHex->isEnabled());
    EXPECT_FALSE(f.ComboTime->isEnabled());
    EXPECT_FALSE(f.TextChars->isEnabled());
    EXPECT_FALSE(f.CheckPatkittain->isEnabled());
}

TEST(FormStartup, EnterInTheCommandBoxSends)
{
    FormHarness h;
    DurnixForm& f = h.Start();
    f.TextOutput->setEditText("A");
    QTest::keyClick(f.TextOutput->lineEdit(), Qt::Key_Return);
    ASSERT_EQ(h.comm.writes.size(), 1);
    EXPECT_EQ(h.comm.writes[0], QByteArrayLiteral("\x80\x41\x03\x42"));
}

TEST(FormStartup, AVanishedDeviceEndsRepetition)
{
    FormHarness h;
    DurnixForm& f = h.Start();
    f.TextRepeat->setText("0.01");
    SetVbValue(f.CheckRepeat, 1);
    h.comm.dsr = true;
    f.ShowModemLines();
    h.comm.dsr = false;
    h.comm.lose();
    EXPECT_EQ(VbValue(f.CheckRepeat), 0);
    EXPECT_FALSE(f.RepeatTimer->isEnabled());
    EXPECT_EQ(f.ShapeDSR->fillColor(), QColor(Qt::black));
    EXPECT_EQ(h.beeps, 1);
}
