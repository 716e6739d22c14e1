#pragma once

#include <QCheckBox>
#include <QComboBox>

// Check-box values as the handlers and the settings file count them:
// 0 unchecked, 1 checked, 2 greyed. Qt numbers its states differently.
inline int VbValue(const QCheckBox* check)
{
    switch (check->checkState()) {
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    default:
        return 0;
    }
}

inline void SetVbValue(QCheckBox* check, int value)
{
    check->setCheckState(value == 2 ? Qt::PartiallyChecked : value != 0 ? Qt::Checked : Qt::Unchecked);
}

// Any nonzero value, checked or greyed, counts as checked.
inline bool IsSet(const QCheckBox* check) { return check->checkState() != Qt::Unchecked; }

// The list position of a combo: -1 when nothing is selected or when the
// operator has typed a text that is not the selected entry.
inline int ListIndex(const QComboBox* combo)
{
    const int index = combo->currentIndex();
    if (index < 0 || (combo->isEditable() && combo->currentText() != combo->itemText(index)))
        return -1;
    return index;
}
