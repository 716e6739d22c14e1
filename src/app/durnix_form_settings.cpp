// durnix.ini: read once at start-up, written whole at close.
#include "app/durnix_form.h"
#include "app/settings/settings_reader.h"
#include "app/settings/settings_writer.h"
#include "app/settings/window_placement.h"
#include "app/twips.h"
#include "app/vb_controls.h"
#include "common/lenient_number.h"
#include "serial/mscomm.h"

#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>

namespace {

bool SetIndex(QComboBox* combo, std::optional<int> index)
{
    if (index)
        combo->setCurrentIndex(*index);
    return index.has_value();
}

bool SetCheck(QCheckBox* check, std::optional<int> value)
{
    if (value)
        SetVbValue(check, *value);
    return value.has_value();
}

} // namespace

// Any line that cannot be applied ends the reading there; what was applied
// before it stays.
void DurnixForm::FileLoadSettings()
{
    const auto bytes = ReadSettingsFile(services_.settingsFolder);
    if (!bytes)
        return;
    for (const SettingLine& line : ParseSettings(*bytes)) {
        if (!ApplySetting(line))
            return;
    }
}

bool DurnixForm::ApplySetting(const SettingLine& line)
{
    return ApplyWindowSetting(line) && ApplyConnectionSetting(line) && ApplyLineAndRepeatSetting(line)
        && ApplyCommandSetting(line) && ApplyRecentSetting(line) && ApplyTrafficSetting(line);
}

// Each Apply...Setting returns false only for a line of its own that fails.
bool DurnixForm::ApplyWindowSetting(const SettingLine& line)
{
    if (line.key > SettingKey::WindowHeight)
        return true;
    const int pixels = TwipsToPixels(SettingTwips(line.value));
    const QRect frame = frameGeometry();
    if (line.key == SettingKey::WindowLeft || line.key == SettingKey::WindowTop)
        placedBySettings_ = true;
    if (line.key == SettingKey::WindowLeft) {
        move(pixels, frame.y());
    } else if (line.key == SettingKey::WindowTop) {
        move(frame.x(), pixels);
    } else {
        OuterSizeFit& fit = outerSizeFit_ ? *outerSizeFit_ : outerSizeFit_.emplace();
        (line.key == SettingKey::WindowWidth ? fit.width : fit.height) = pixels;
        FitOuterSize();
    }
    return true;
}

// The saved size is the outer one, but the window's frame is known only once
// the window manager has framed it, and never where none frames it. Until
// then the saved sides go to the inside whole; the frame is taken off them
// once, when it is first known. A resize by anyone else in between (the
// operator's) ends the fitting, so that no later move can undo it.
void DurnixForm::FitOuterSize()
{
    if (!outerSizeFit_)
        return;
    OuterSizeFit& fit = *outerSizeFit_;
    if (fit.fitted && size() != *fit.fitted) {
        outerSizeFit_.reset();
        return;
    }
    const QSize decoration = frameGeometry().size() - size();
    resize(fit.width ? *fit.width - decoration.width() : width(),
        fit.height ? *fit.height - decoration.height() : height());
    fit.fitted = size();
    if (FrameIsKnown(decoration))
        outerSizeFit_.reset();
}

void DurnixForm::KeepOnScreens(const QList<QRect>& screenAreas)
{
    const QRect frame = frameGeometry();
    const OuterSizeFit fit = outerSizeFit_.value_or(OuterSizeFit {});
    const QRect saved(
        frame.topLeft(), QSize(fit.width.value_or(frame.width()), fit.height.value_or(frame.height())));
    const QRect placed = PlaceOnScreens(saved, screenAreas);
    if (placed.topLeft() != saved.topLeft())
        move(placed.topLeft());
    if (placed.size() != saved.size()) {
        OuterSizeFit& cut = outerSizeFit_ ? *outerSizeFit_ : outerSizeFit_.emplace();
        cut.width = placed.width();
        cut.height = placed.height();
        FitOuterSize();
    }
}

bool DurnixForm::ApplyConnectionSetting(const SettingLine& line)
{
    switch (line.key) {
    case SettingKey::Port:
        return SetIndex(ComboPort, SettingListIndex(line.value, ComboPort->count(), -1));
    case SettingKey::Baud:
        return SetIndex(ComboBPS, SettingListIndex(line.value, ComboBPS->count()));
    case SettingKey::Bits:
        return SetIndex(ComboBits, SettingListIndex(line.value, ComboBits->count()));
    case SettingKey::Par:
        return SetIndex(ComboPar, SettingListIndex(line.value, ComboPar->count()));
    case SettingKey::Stop:
        return SetIndex(ComboStop, SettingListIndex(line.value, ComboStop->count()));
    case SettingKey::Prot:
        return SetIndex(ComboProt, SettingListIndex(line.value, ComboProt->count()));
    case SettingKey::Addr:
        // The address box brings its bar into step itself, holding an address
        // the bar cannot show at the bar's end. Any address the operator could
        // type reads back, so the lines after it are never lost.
        TextAddr->setText(line.value);
        return true;
    default:
        return true;
    }
}

bool DurnixForm::ApplyLineAndRepeatSetting(const SettingLine& line)
{
    switch (line.key) {
    case SettingKey::Repeat:
        TextRepeat->setText(line.value);
        return true;
    case SettingKey::DTR:
        return SetCheck(CheckDTR, SettingCheckState(line.value));
    case SettingKey::RTS:
        return SetCheck(CheckRTS, SettingCheckState(line.value));
    case SettingKey::AutoRTS:
        return SetCheck(CheckAutoRTS, SettingCheckState(line.value));
    case SettingKey::RepeatON:
        return SetCheck(CheckRepeat, SettingCheckState(line.value));
    case SettingKey::LowLatency:
        MSComm1.setLowLatency(RoundHalfEven(LenientNumber(line.value)) != 0);
        return true;
    default:
        return true;
    }
}

bool DurnixForm::ApplyCommandSetting(const SettingLine& line)
{
    switch (line.key) {
    case SettingKey::Mode:
        if (line.value == QLatin1String("Free"))
            OptionModeFree->setChecked(true);
        else if (line.value == QLatin1String("Time"))
            OptionModeTime->setChecked(true);
        else if (line.value == QLatin1String("File"))
            OptionModeFile->setChecked(true);
        return true;
    case SettingKey::Filename:
        CommandFileName = line.value;
        return true;
    case SettingKey::Time:
        return SetIndex(ComboTime, SettingListIndex(line.value, ComboTime->count()));
    case SettingKey::Hex:
        return SetCheck(CheckHex, SettingCheckState(line.value));
    case SettingKey::Disp:
        return SetCheck(CheckDisp, SettingCheckState(line.value));
    case SettingKey::AA:
        return SetCheck(CheckAA, SettingCheckState(line.value));
    case SettingKey::Chars:
        TextChars->setText(line.value);
        return true;
    case SettingKey::Noscroll:
        return SetCheck(CheckPatkittain, SettingCheckState(line.value));
    default:
        return true;
    }
}

// Memories keep the number unrounded; an empty state reads as 0.
bool DurnixForm::ApplyRecentSetting(const SettingLine& line)
{
    switch (line.key) {
    case SettingKey::Modefreedisp:
        ModeFreeDisp = SettingMemory(line.value);
        break;
    case SettingKey::Modetimedisp:
        ModeTimeDisp = SettingMemory(line.value);
        break;
    case SettingKey::Modefiledisp:
        ModeFileDisp = SettingMemory(line.value);
        break;
    case SettingKey::Lastcmd:
        Recent.texts[line.slot] = line.value;
        TextOutput->setItemText(line.slot, line.value);
        break;
    case SettingKey::Lastcmddisp:
        Recent.disp[line.slot] = SettingMemory(line.value);
        break;
    case SettingKey::Lastcmdhex:
        Recent.hex[line.slot] = SettingMemory(line.value);
        break;
    case SettingKey::Output:
        SettingOutput = -1;
        TextOutput->setEditText(line.value);
        SettingOutput = 0;
        break;
    default:
        break;
    }
    return true;
}

namespace {

std::optional<SendMode> SelectedMode(const QRadioButton* free, const QRadioButton* time, const QRadioButton* file)
{
    if (free->isChecked())
        return SendMode::Free;
    if (time->isChecked())
        return SendMode::Time;
    if (file->isChecked())
        return SendMode::File;
    return std::nullopt;
}

// Place and size only for a window in its normal state.
std::optional<QRect> NormalWindowTwips(const QWidget* window)
{
    if (window->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))
        return std::nullopt;
    const QRect frame = window->frameGeometry();
    return QRect(int(PixelsToTwips(frame.x())), int(PixelsToTwips(frame.y())), int(PixelsToTwips(frame.width())),
        int(PixelsToTwips(frame.height())));
}

} // namespace

void DurnixForm::WriteSettingsFile()
{
    SettingsSnapshot snapshot;
    snapshot.window = NormalWindowTwips(this);
    snapshot.portIndex = ListIndex(ComboPort);
    snapshot.baudIndex = ListIndex(ComboBPS);
    snapshot.bitsIndex = ListIndex(ComboBits);
    snapshot.parIndex = ListIndex(ComboPar);
    snapshot.stopIndex = ListIndex(ComboStop);
    snapshot.protIndex = ListIndex(ComboProt);
    snapshot.portMap = services_.portMap->Entries();
    snapshot.addr = TextAddr->text();
    snapshot.repeat = TextRepeat->text();
    snapshot.dtr = VbValue(CheckDTR);
    snapshot.rts = VbValue(CheckRTS);
    snapshot.autoRts = VbValue(CheckAutoRTS);
    snapshot.mode = SelectedMode(OptionModeFree, OptionModeTime, OptionModeFile);
    snapshot.fileName = CommandFileName;
    snapshot.repeatOn = VbValue(CheckRepeat);
    snapshot.timeIndex = ComboTime->currentIndex();
    snapshot.hex = VbValue(CheckHex);
    snapshot.disp = VbValue(CheckDisp);
    snapshot.aa = VbValue(CheckAA);
    snapshot.chars = TextChars->text();
    snapshot.noScroll = VbValue(CheckPatkittain);
    snapshot.modeFreeDisp = ModeFreeDisp;
    snapshot.modeTimeDisp = ModeTimeDisp;
    snapshot.modeFileDisp = ModeFileDisp;
    for (std::size_t i = 0; i < snapshot.recent.size(); ++i)
        snapshot.recent[i] = {Recent.texts[i], Recent.disp[i], Recent.hex[i]};
    snapshot.output = TextOutput->currentText();
    snapshot.lowLatency = MSComm1.lowLatency() ? 1 : 0;
    snapshot.traffic = TrafficPlace();
    // A file that cannot be written is left as it was; closing goes on.
    SaveSettingsFile(services_.settingsFolder, WriteSettings(snapshot));
}
