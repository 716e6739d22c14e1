#include "form_harness.h"
#include "serial/pty_pair.h"
#include "serial/qt_serial_comm.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

// The window on the real serial layer, COM1 being a pseudo-terminal and COM2 a device that is not there.
TEST(WindowOnPty, SendReachesTheDeviceAndAFailureNamesTheDevice)
{
    PtyPair pty;
    FormHarness h;
    const QString missing = h.folder.filePath("no-such-tty");
    h.portMap.SetPath(1, pty.slavePath);
    h.portMap.SetPath(2, missing);
    QtSerialComm comm(h.portMap);
    DurnixForm f(comm, h.Services());
    ASSERT_TRUE(comm.portOpen()) << h.portFailures.join('\n').toStdString();
    EXPECT_EQ(comm.settings(), QString("4800,N,8,1"));

    f.CommandSend->click();
    EXPECT_EQ(pty.Read(13).toHex(' '), QByteArray("80 44 49 53 50 20 48 45 4c 4c 4f 03 6f"));

    f.ComboPort->setCurrentIndex(1);
    ASSERT_EQ(h.portFailures.size(), 1);
    EXPECT_TRUE(h.portFailures[0].contains(missing)) << h.portFailures[0].toStdString();
    EXPECT_FALSE(comm.portOpen());

    // An empty speed is refused by the real port; choosing one again recovers.
    f.ComboPort->setCurrentIndex(0);
    ASSERT_TRUE(comm.portOpen());
    f.ComboBPS->lineEdit()->selectAll();
    QTest::keyClick(f.ComboBPS->lineEdit(), Qt::Key_Backspace);
    EXPECT_EQ(h.portFailures.size(), 2);
    EXPECT_FALSE(comm.portOpen());
    f.ComboBPS->setCurrentIndex(5);
    ASSERT_TRUE(comm.portOpen()) << h.portFailures.join('\n').toStdString();
    f.CommandSend->click();
    EXPECT_EQ(pty.Read(13).size(), 13);
}
