// The ports dialog's place in the window: the menus that open it, and what its OK changes.
#include "app/durnix_form.h"
#include "app/ports_dialog.h"
#include "app/vb_controls.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMenu>

void DurnixForm::SetUpPortMenu()
{
    PortMenu = new QMenu(this);
    PortMenu->setObjectName("PortMenu");
    MenuPorts = PortMenu->addAction(QString::fromUtf8("Ports\u2026"), this, &DurnixForm::MenuPorts_Click);
    // The box's text field would otherwise show its own menu.
    for (QWidget* box : { static_cast<QWidget*>(ComboPort), static_cast<QWidget*>(ComboPort->lineEdit()) }) {
        box->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(box, &QWidget::customContextMenuRequested, this,
            [this, box](const QPoint& position) { PortMenu->popup(box->mapToGlobal(position)); });
    }
}

// The window goes on while the dialog is open; OK applies what it shows.
void DurnixForm::MenuPorts_Click()
{
    auto* dialog = new PortsDialog(
        *services_.portMap, services_.listSerialDevices(), std::max(ListIndex(ComboPort), 0) + 1, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog] { ApplyPortMap(dialog->Chosen()); });
    dialog->open();
}

// The tooltips follow at once; the selected port reopens on its new device only if its own entry changed.
void DurnixForm::ApplyPortMap(const PortMap& chosen)
{
    const PortMap before = std::exchange(*services_.portMap, chosen);
    const int selected = std::max(ListIndex(ComboPort), 0) + 1;
    for (int port = kFirstComPort; port <= kLastComPort; ++port) {
        if (chosen.DevicePath(port) != before.DevicePath(port))
            ComboPort->setItemData(port - 1, chosen.DevicePath(port), Qt::ToolTipRole);
    }
    if (chosen.DevicePath(selected) != before.DevicePath(selected))
        ConfigurePort();
}
