// The command sources of the window: send modes, running values and the command file.
#include "app/durnix_form.h"
#include "app/vb_controls.h"
#include "common/lenient_number.h"
#include "sources/running_values.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

namespace {

enum SendMode { FreeText = 0, Running = 1, FromFile = 2 };

// Restored memories may hold any number: nonzero shows checked, 2 greyed.
int CheckValueOf(double memory)
{
    const double value = RoundHalfEven(memory);
    return value == 2 ? 2 : value != 0 ? 1 : 0;
}

} // namespace

void DurnixForm::OptionModeFree_Click() { SwitchMode(FreeText); }
void DurnixForm::OptionModeTime_Click() { SwitchMode(Running); }
void DurnixForm::OptionModeFile_Click() { SwitchMode(FromFile); }

void DurnixForm::SwitchMode(int mode)
{
    CheckHex->setEnabled(mode == FreeText);
    ComboTime->setEnabled(mode == Running);
    TextChars->setEnabled(mode == FromFile);
    LabelChars->setEnabled(mode == FromFile);
    CheckPatkittain->setEnabled(mode == FromFile);
    if (Loading)
        return;
    CloseCommandFile();
    if (mode == FromFile)
        CommandFileName.clear();
    else
        SetCaption(QString());
    ApplyDispMemory(mode);
}

void DurnixForm::ApplyDispMemory(int mode)
{
    if (mode == FromFile)
        SetVbValue(CheckDisp, ModeFileDisp != 0 ? 1 : 0);
    else
        SetVbValue(CheckDisp, CheckValueOf(mode == FreeText ? ModeFreeDisp : ModeTimeDisp));
}

void DurnixForm::ComboTime_Click()
{
    if (Loading)
        return;
    Loading = -1;
    OptionModeTime->setChecked(true);
    Loading = 0;
}

void DurnixForm::TextOutput_Change()
{
    if (!SettingOutput)
        OptionModeFree->setChecked(true);
}

void DurnixForm::TextOutput_Click()
{
    if (Loading)
        return;
    OptionModeFree->setChecked(true);
    const int index = TextOutput->currentIndex();
    if (index < 0 || index >= int(Recent.texts.size()))
        return;
    SetVbValue(CheckDisp, CheckValueOf(Recent.disp[index].value_or(0)));
    SetVbValue(CheckHex, CheckValueOf(Recent.hex[index].value_or(0)));
}

void DurnixForm::NextCommandText()
{
    SettingOutput = -1;
    if (OptionModeTime->isChecked()) {
        if (const auto value = RunningValueText(ComboTime->currentText(), services_.timeOfDay(), RunningNumber))
            TextOutput->setEditText(*value);
    } else if (OptionModeFile->isChecked()) {
        FileStep();
    }
    SettingOutput = 0;
}

void DurnixForm::FileStep()
{
    const auto displayLength = RoundToInt16(LenientNumber(TextChars->text()));
    if (!displayLength)
        return;
    if (commandFile_.IsOpen() && commandFile_.AtEnd())
        CloseCommandFile();
    if (!commandFile_.IsOpen()) {
        OpenCommandFile();
        return;
    }
    const auto text = IsSet(CheckPatkittain) ? PieceStep(fitting_, commandFile_, *displayLength)
                                             : ScrollStep(fitting_, commandFile_, *displayLength);
    if (text)
        TextOutput->setEditText(*text);
}

// The step that opens the file sends what the box already holds.
void DurnixForm::OpenCommandFile()
{
    if (CommandFileName.isEmpty()) {
        CommandFileName = services_.askFileName(services_.programFolder, QStringLiteral("All Files (*.*)|*.*"));
        if (CommandFileName.isEmpty()) {
            OptionModeFree->setChecked(true);
            return;
        }
    }
    // A file that cannot be opened keeps its name and is tried again next time.
    if (commandFile_.Open(CommandFileName))
        SetCaption(CommandFileName);
}

void DurnixForm::CloseCommandFile() { commandFile_.Close(); }
