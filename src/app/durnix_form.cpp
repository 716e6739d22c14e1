// Start-up, caption, shut-down and the following of the window's size.
#include "app/durnix_form.h"

#include "app/display_label.h"
#include "app/twips.h"
#include "command/framing.h"
#include "common/interval_timer.h"
#include "common/lenient_number.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

namespace {

const QStringList kSpeeds
    = {"300", "600", "1200", "2400", "4800", "9600", "14400", "19200", "28800", "38400", "57600", "115200"};
const QStringList kTimeLayouts = {"ss", "hh.mm", "hh.mm.ss", "mm.ss", "NN"};

// Twips below the "Response" frame for the title bar and the window borders.
constexpr double kTitleAllowance = 360;

// Adding items to an empty combo would select entry 0 and run its handler;
// start-up selects its defaults itself.
void Fill(QComboBox* combo, const QStringList& entries)
{
    const QSignalBlocker blocker(combo);
    combo->addItems(entries);
    combo->setCurrentIndex(-1);
}

} // namespace

void DurnixForm::SetCaption(const QString& text)
{
    setWindowTitle(text.isEmpty() ? QStringLiteral("Durnix") : QStringLiteral("Durnix - ") + text);
}

void DurnixForm::FillLists()
{
    QStringList ports;
    for (int n = 1; n <= 16; ++n)
        ports << QStringLiteral("COM%1").arg(n);
    Fill(ComboPort, ports);
    for (int n = 1; n <= 16; ++n)
        ComboPort->setItemData(n - 1, services_.portMap->DevicePath(n), Qt::ToolTipRole);
    Fill(ComboBPS, kSpeeds);
    Fill(ComboProt, ProtocolNames());
    Fill(ComboBits, {"5", "6", "7", "8"});
    Fill(ComboPar, {"N", "O", "E", "S", "M"});
    Fill(ComboStop, {"1", "2"});
    Fill(ComboTime, kTimeLayouts);
    const QString command = TextOutput->currentText();
    const QSignalBlocker blocker(TextOutput);
    while (TextOutput->count() < 5)
        TextOutput->addItem(QString());
    TextOutput->setCurrentIndex(-1);
    TextOutput->setEditText(command);
}

void DurnixForm::SelectDefaults()
{
    ComboPort->setCurrentIndex(0);
    ComboBPS->setCurrentIndex(4);
    ComboBits->setCurrentIndex(3);
    ComboPar->setCurrentIndex(0);
    ComboStop->setCurrentIndex(0);
    TextAddr->setText("0");
    ComboProt->setCurrentIndex(0);
    TextRepeat->setText("0");
    ComboTime->setCurrentIndex(0);
}

void DurnixForm::Form_Load()
{
    Loading = -1;
    SetCaption(QStringLiteral("V%1.%2").arg(DURNIX_VERSION_MAJOR).arg(DURNIX_VERSION_MINOR));
    FillLists();
    SelectDefaults();
    ModeFreeDisp = 0;
    ModeTimeDisp = 1;
    ModeFileDisp = -1;
    // Start-up shows from the first moment which controls apply to the mode.
    SwitchMode(0);
    FileLoadSettings();
    Loading = 0;
    ConfigurePort();
    TextRepeat_Change();
}

void DurnixForm::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

// The window manager's frame becomes known around the first show and move.
void DurnixForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    FitOuterSize();
}

void DurnixForm::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    FitOuterSize();
}

// The outer height includes the title bar and borders. Until the window
// manager has framed the window (or where there is none) Qt cannot tell them,
// and the allowance below the "Response" frame stands for them instead; the
// window would otherwise open with its answer squeezed to a sliver.
static double OuterHeightTwips(const QWidget* window)
{
    const int outer = window->frameGeometry().height();
    return outer > window->height() ? PixelsToTwips(outer) : PixelsToTwips(window->height()) + kTitleAllowance;
}

// Works in twips like the rest of the design. Nothing is moved, only resized.
void DurnixForm::Form_Resize()
{
    const double outerHeight = OuterHeightTwips(this);
    const double innerWidth = PixelsToTwips(width());
    const double h = outerHeight - PixelsToTwips(Frame5->y()) - kTitleAllowance;
    if (h > 100)
        Frame5->resize(Frame5->width(), TwipsToPixels(h));
    const double t = PixelsToTwips(Frame5->height()) - PixelsToTwips(TextInput->y()) - 120;
    if (t > 100)
        TextInput->resize(TextInput->width(), TwipsToPixels(t));
    const double w = innerWidth - 2 * PixelsToTwips(CommandSend->x());
    Frame4->resize(TwipsToPixels(innerWidth), Frame4->height());
    Frame5->resize(TwipsToPixels(innerWidth), Frame5->height());
    if (w > 100) {
        for (QWidget* wide : {static_cast<QWidget*>(TextInput), static_cast<QWidget*>(TextOutput),
                 static_cast<QWidget*>(TextOutputhex), static_cast<QWidget*>(TextInputHex),
                 static_cast<QWidget*>(CommandSend)})
            wide->resize(TwipsToPixels(w), wide->height());
    }
}

void DurnixForm::closeEvent(QCloseEvent* event)
{
    Form_QueryUnload();
    event->accept();
}

void DurnixForm::Form_QueryUnload()
{
    RepeatTimer->setEnabled(false);
    trafficLog_.Stop();
    CloseCommandFile();
    WriteSettingsFile();
}
