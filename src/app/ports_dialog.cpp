#include "app/ports_dialog.h"

#include "network/network_address.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace
{

const QStringList kDeviceColumns = { "Device", "Description", "Manufacturer", "Serial number", "Vendor ID",
    "Product ID", "/dev/serial/by-id/ name" };

QTableWidget* MakeTable(QWidget* parent, const char* name, int rows, const QStringList& columns)
{
    auto* table = new QTableWidget(rows, int(columns.size()), parent);
    table->setObjectName(name);
    table->setHorizontalHeaderLabels(columns);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->horizontalHeader()->setStretchLastSection(true);
    return table;
}

void SetRow(QTableWidget* table, int row, const QStringList& cells)
{
    for (int column = 0; column < cells.size(); ++column)
        table->setItem(row, column, new QTableWidgetItem(cells[column]));
}

} // namespace

PortsDialog::PortsDialog(
    const PortMap& map, const QList<SerialDevice>& devices, int selectedPort, QWidget* parent)
    : QDialog(parent)
    , map_(map)
    , before_(map)
    , devices_(devices)
{
    setWindowTitle(QStringLiteral("Durnix - Ports"));
    new QVBoxLayout(this);
    CreatePortTable();
    CreateDeviceTable();
    CreatePathRow();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout()->addWidget(buttons);
    PortTable->selectRow(std::clamp(selectedPort, kFirstComPort, kLastComPort) - kFirstComPort);
    resize(760, 700);
}

void PortsDialog::CreatePortTable()
{
    PortTable = MakeTable(this, "PortTable", kLastComPort - kFirstComPort + 1, { "Port", "Stands for" });
    for (int port = kFirstComPort; port <= kLastComPort; ++port)
        SetRow(PortTable, port - kFirstComPort,
            { QStringLiteral("COM%1").arg(port), StandsForText(map_, port) });
    PortTable->resizeColumnToContents(0);
    connect(PortTable, &QTableWidget::itemSelectionChanged, this, &PortsDialog::ShowSelectedPort);
    static_cast<QVBoxLayout*>(layout())->addWidget(PortTable, 3); // all sixteen, where the screen allows
}

void PortsDialog::CreateDeviceTable()
{
    DeviceNote = new QLabel(devices_.isEmpty()
            ? QStringLiteral("No serial devices found. Type a device path or a URL below.")
            : QStringLiteral("Serial devices here now; click one to give it to the selected port:"),
        this);
    DeviceTable = MakeTable(this, "DeviceTable", int(devices_.size()), kDeviceColumns);
    for (int row = 0; row < devices_.size(); ++row)
        SetRow(DeviceTable, row, DeviceCells(devices_[row]));
    DeviceTable->resizeColumnsToContents();
    DeviceTable->setEnabled(!devices_.isEmpty());
    connect(DeviceTable, &QTableWidget::cellClicked, this, &PortsDialog::UseDevice);
    connect(DeviceTable, &QTableWidget::cellActivated, this, &PortsDialog::UseDevice);
    layout()->addWidget(DeviceNote);
    static_cast<QVBoxLayout*>(layout())->addWidget(DeviceTable, 2);
}

void PortsDialog::CreatePathRow()
{
    auto* row = new QHBoxLayout;
    PathLabel = new QLabel(this);
    PathEdit = new QLineEdit(this);
    PathEdit->setObjectName("PathEdit");
    PathEdit->setToolTip(QStringLiteral("A device path, rfc2217://HOST:PORT or socket://HOST:PORT"));
    DefaultButton = new QPushButton(QStringLiteral("Default"), this);
    DefaultButton->setToolTip(QStringLiteral("The port stands for its default device again"));
    row->addWidget(PathLabel);
    row->addWidget(PathEdit, 1);
    row->addWidget(DefaultButton);
    Problem = new QLabel(this);
    Problem->setObjectName("Problem");
    Problem->setStyleSheet(QStringLiteral("color: #b00000"));
    connect(PathEdit, &QLineEdit::textEdited, this, &PortsDialog::SetPath);
    connect(DefaultButton, &QPushButton::clicked, this, [this] { SetPath(QString()); });
    static_cast<QVBoxLayout*>(layout())->addLayout(row);
    layout()->addWidget(Problem);
}

int PortsDialog::SelectedPort() const
{
    return PortTable->currentRow() + kFirstComPort;
}

// The path row follows the port picked in the table; an unmapped port shows its default greyed.
void PortsDialog::ShowSelectedPort()
{
    const int port = SelectedPort();
    PathLabel->setText(QStringLiteral("COM%1 stands for:").arg(port));
    PathEdit->setText(map_.Entries().value(port));
    PathEdit->setPlaceholderText(StandsForText(PortMap(), port));
}

// Empty puts the port's default device back.
void PortsDialog::SetPath(const QString& path)
{
    const int port = SelectedPort();
    map_.SetPath(port, path.trimmed());
    if (PathEdit->text() != path)
        PathEdit->setText(path);
    PortTable->item(port - kFirstComPort, 1)->setText(StandsForText(map_, port));
    Problem->clear();
}

void PortsDialog::UseDevice(int row)
{
    SetPath(MapPathOf(devices_[row]));
}

// The first URL changed here that the port could not read, in the words the port itself would use.
QString PortsDialog::FirstProblem() const
{
    for (int port = kFirstComPort; port <= kLastComPort; ++port) {
        const QString path = map_.DevicePath(port);
        if (path == before_.DevicePath(port) || !NamesNetworkPort(path))
            continue;
        if (const QString problem = NetworkAddressProblem(path); !problem.isEmpty())
            return QStringLiteral("COM%1: %2: %3.").arg(port).arg(path, problem);
    }
    return {};
}

void PortsDialog::accept()
{
    const QString problem = FirstProblem();
    Problem->setText(problem);
    if (problem.isEmpty())
        QDialog::accept();
}
