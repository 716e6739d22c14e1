// The ports dialog, opened from the right-click menus and driven by the mouse and keys, on a port routed
// between two FakeComms by the map in force, with a list of devices of the test's own.
#include "app/ports_dialog.h"
#include "form_harness.h"
#include "network/network_address.h"
#include "network/routing_comm.h"
#include "row_names.h"

#include <QDialogButtonBox>
#include <QMenu>

namespace
{

const QString kFtdiById = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A12345-if00-port0";
const QList<SerialDevice> kDevices
    = { { "/dev/ttyUSB0", "FT232R USB UART", "FTDI", "A12345", 0x0403, 0x6001, kFtdiById },
          { "/dev/ttyACM0", "", "", "", 0x2e8a, 0x000a, "" } };

QStringList RowCells(const QTableWidget* table, int row)
{
    QStringList cells;
    for (int column = 0; column < table->columnCount(); ++column)
        cells << table->item(row, column)->text();
    return cells;
}

void ClickRow(QTableWidget* table, int row)
{
    table->scrollToItem(table->item(row, 0));
    QTest::mouseClick(
        table->viewport(), Qt::LeftButton, {}, table->visualItemRect(table->item(row, 0)).center());
}

struct PortsWindow {
    explicit PortsWindow(QList<SerialDevice> devices)
    {
        h.portMap.SetPath(2, "socket://relay:4001");
        FormServices services = h.Services();
        services.listSerialDevices = [devices] { return devices; };
        form = std::make_unique<DurnixForm>(routing, services);
        form->show();
        (void)QTest::qWaitForWindowExposed(form.get());
    }
    // Right-clicks `widget` through the window system, as a mouse does, and picks "Ports…" from its menu.
    PortsDialog* Open(QWidget* widget)
    {
        QTest::mouseClick(
            form->windowHandle(), Qt::RightButton, {}, widget->mapTo(form.get(), widget->rect().center()));
        QMenu* menu = nullptr;
        if (!QTest::qWaitFor(
                [&] { return (menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())); }))
            return nullptr;
        QTest::mouseClick(
            menu->windowHandle(), Qt::LeftButton, {}, menu->actionGeometry(form->MenuPorts).center());
        PortsDialog* dialog = nullptr;
        return QTest::qWaitFor(
                   [&] { return (dialog = form->findChild<PortsDialog*>()) && dialog->isVisible(); })
            ? dialog
            : nullptr;
    }

    FormHarness h;
    FakeComm network;
    RoutingComm routing { h.comm, network, h.portMap };
    std::unique_ptr<DurnixForm> form;
};

} // namespace

// Each of the four right-click menus opens the dialog on the port in use, showing what each port stands for
// and every column of the devices present; with none present it says so.
TEST(PortsDialog, OpensFromThePortBoxAndEachDisplay)
{
    PortsWindow w(kDevices);
    DurnixForm& f = *w.form;
    f.ComboPort->setCurrentIndex(1);
    for (QWidget* widget : { (QWidget*)f.ComboPort->lineEdit(), (QWidget*)f.TextOutputhex,
             (QWidget*)f.TextInputHex, (QWidget*)f.TextInput }) {
        PortsDialog* dialog = w.Open(widget);
        ASSERT_TRUE(dialog) << widget->objectName().toStdString();
        EXPECT_EQ(dialog->windowTitle(), "Durnix - Ports");
        EXPECT_EQ(RowCells(dialog->PortTable, 0), QStringList({ "COM1", "/dev/ttyS0 (default)" }));
        EXPECT_EQ(RowCells(dialog->PortTable, 1), QStringList({ "COM2", "socket://relay:4001" }));
        EXPECT_EQ(dialog->PathLabel->text(), "COM2 stands for:");
        EXPECT_EQ(RowCells(dialog->DeviceTable, 0),
            QStringList({ "/dev/ttyUSB0", "FT232R USB UART", "FTDI", "A12345", "0403", "6001", kFtdiById }));
        EXPECT_EQ(RowCells(dialog->DeviceTable, 1),
            QStringList({ "/dev/ttyACM0", "", "", "", "2e8a", "000a", "" }));
        dialog->reject();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !f.findChild<PortsDialog*>(); }));
    }
    PortsWindow none({});
    const PortsDialog* empty = none.Open(none.form->TextInput);
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->DeviceNote->text().startsWith("No serial devices found"));
}

auto Pick(int row)
{
    return [row](PortsDialog* d) { ClickRow(d->DeviceTable, row); };
}
auto Type(const char* text)
{
    return [text](PortsDialog* d) { QTest::keyClicks(d->PathEdit, text); };
}

struct Assignment {
    const char* name;
    int port; // picked in the port table; COM1 is in use
    std::function<void(PortsDialog*)> give; // what the operator does for it
    QString entry; // the map entry after OK; empty for none
    bool reopens;
    QString problem = {}; // what the dialog says and keeps it open
    DURNIX_PRINTS_ITS_NAME(Assignment)
};

const Assignment kAssignments[] = {
    { "DeviceByItsByIdName", 3, Pick(0), kFtdiById, false },
    { "DeviceWithoutByIdByItsPath", 3, Pick(1), "/dev/ttyACM0", false },
    { "TypedUrl", 3, Type("rfc2217://localhost:7000"), "rfc2217://localhost:7000", false },
    { "PortInUseReopens", 1, Pick(1), "/dev/ttyACM0", true },
    { "UrlForPortInUseReopensOnTheNetwork", 1, Type("socket://localhost:7000"), "socket://localhost:7000",
        true },
    { "SameDeviceTypedAgainKeepsThePort", 1, Type("/dev/ttyS0"), "/dev/ttyS0", false },
    { "UrlWithoutPort", 3, Type("rfc2217://localhost"), "", false, "COM3: rfc2217://localhost: no port." },
    { "UnbracketedIpv6", 3, Type("socket://fe80::1:2000"), "", false,
        "COM3: socket://fe80::1:2000: an IPv6 address goes in brackets: [fe80::1]." },
    { "DefaultUnmaps", 2, [](PortsDialog* d) { QTest::mouseClick(d->DefaultButton, Qt::LeftButton); }, "",
        false },
};

class PortAssignment : public testing::TestWithParam<Assignment>
{
};

// OK puts the choice in the one map the ports read, at once: the port box's tooltip follows, only a change to
// the port in use reopens it (on the kind its new entry names), and closing the window writes the map. A URL
// the port could not read keeps the dialog open and the map as it was, and says why in the port's own words.
TEST_P(PortAssignment, AppliesAtOnceAndIsWrittenWithTheSettings)
{
    const Assignment& a = GetParam();
    PortsWindow w(kDevices);
    const QPointer<PortsDialog> dialog = w.Open(w.form->TextInput);
    ASSERT_TRUE(dialog);
    ClickRow(dialog->PortTable, a.port - 1);
    w.h.comm.log.clear();
    a.give(dialog);
    QTest::mouseClick(dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
    EXPECT_EQ(dialog && dialog->isVisible() ? dialog->Problem->text() : "", a.problem);
    if (dialog && dialog->isVisible())
        dialog->reject();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.form->findChild<PortsDialog*>(); }));
    EXPECT_EQ(w.h.portMap.Entries().value(a.port), a.entry);
    EXPECT_EQ(
        w.form->ComboPort->itemData(a.port - 1, Qt::ToolTipRole).toString(), w.h.portMap.DevicePath(a.port));
    EXPECT_EQ((w.h.comm.log + w.network.log).contains("OPEN"), a.reopens);
    EXPECT_EQ(w.network.log.contains("OPEN"), a.reopens && NamesNetworkPort(a.entry));
    w.form->close();
    EXPECT_EQ(PortMap::FromSettingsBytes(w.h.ReadSettings()).Entries(), w.h.portMap.Entries());
}
INSTANTIATE_TEST_SUITE_P(, PortAssignment, testing::ValuesIn(kAssignments), ByName);

// A by-id folder of the test's own links: relative and absolute, two to one device, one dangling.
TEST(PortsDialog, FindsTheByIdLinkThatLeadsToTheDevice)
{
    QTemporaryDir root;
    const QDir dir(root.path());
    ASSERT_TRUE(dir.mkpath("dev") && dir.mkpath("by-id"));
    for (const char* device : { "dev/ttyUSB0", "dev/ttyUSB1", "dev/ttyACM0" })
        ASSERT_TRUE(QFile(dir.filePath(device)).open(QIODevice::WriteOnly));
    const std::pair<QString, const char*> links[]
        = { { "../dev/ttyUSB0", "usb-C" }, { "../dev/ttyUSB0", "usb-B" },
              { dir.filePath("dev/ttyUSB1"), "usb-A" }, { "../dev/ttyUSB9", "usb-0" } };
    for (const auto& [target, name] : links)
        ASSERT_TRUE(QFile::link(target, dir.filePath("by-id/") + name));
    const std::pair<const char*, QString> found[] = { { "dev/ttyUSB0", dir.filePath("by-id/usb-B") },
        { "dev/ttyUSB1", dir.filePath("by-id/usb-A") }, { "dev/ttyACM0", "" }, { "dev/ttyUSB9", "" } };
    for (const auto& [device, byId] : found)
        EXPECT_EQ(ByIdName(dir.filePath(device), dir.filePath("by-id")), byId) << device;
}
