// The window on a network port: ser2net in front of the virtual instrument.
#include "instrument_process.h"
#include "network_window.h"
#include "ser2net_process.h"

#include "app/display_label.h"
#include "command/framing.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace
{

const QString Identity
    = QStringLiteral("durnix-instrument %1.%2").arg(DURNIX_VERSION_MAJOR).arg(DURNIX_VERSION_MINOR);

struct InstrumentOverNetwork : testing::Test {
    void SetUp() override
    {
        ASSERT_TRUE(instrument.Start()) << instrument.Errors().constData();
        ASSERT_TRUE(server.Start(instrument.LinkPath())) << server.Errors().constData();
        window = std::make_unique<NetworkWindow>(server.Url(), instrument.Folder());
        ASSERT_TRUE(f().MSComm1.portOpen()) << window->portFailures.join('\n').toStdString();
        window->Prepare(VxbWithBcc, "ID?");
    }
    DurnixForm& f() { return window->Form(); }
    // The operator's clicks on the check boxes, near their left edge where the box is.
    void StartRepeat(const char* count)
    {
        f().TextRepeat->setText("0.001");
        f().TextCount->setText(count);
        for (QCheckBox* box : { f().CheckWaitForResponse, f().CheckRepeat })
            QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
    }
    bool Answered()
    {
        return QTest::qWaitFor([&] { return f().TextInput->text() == Identity; }, 5000);
    }

    InstrumentProcess instrument;
    Ser2netProcess server;
    std::unique_ptr<NetworkWindow> window;
};

TEST_F(InstrumentOverNetwork, WaitingRepeatCompletesEveryCycle)
{
    StartRepeat("200");
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return f().CheckRepeat->checkState() == Qt::Unchecked && f().ResponseState == 2; }, 20000));
    EXPECT_EQ(f().TextInput->text(), Identity);
    const std::optional<InstrumentSummary> summary = ParseInstrumentSummary(instrument.Stop());
    ASSERT_TRUE(summary);
    EXPECT_EQ(summary->received, 200);
    EXPECT_EQ(summary->answered, 200);
}

TEST_F(InstrumentOverNetwork, ServerKilledMidRepeatStopsItOnceAndPickingThePortReconnects)
{
    StartRepeat("");
    ASSERT_TRUE(Answered());
    const quint16 port = server.Port();
    server.Kill();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !f().MSComm1.portOpen(); }, 500));
    EXPECT_EQ(f().CheckRepeat->checkState(), Qt::Unchecked);
    EXPECT_EQ(window->beeps, 1);

    emit f().ComboPort->activated(0);
    EXPECT_EQ(window->portFailures.value(0), server.Url() + ": connection refused.");
    ASSERT_TRUE(server.Start(instrument.LinkPath(), port)) << server.Errors().constData();
    emit f().ComboPort->activated(0);
    ASSERT_TRUE(f().MSComm1.portOpen()) << window->portFailures.join('\n').toStdString();
    QTest::mouseClick(f().CommandSend, Qt::LeftButton);
    EXPECT_TRUE(Answered());
}

} // namespace
