#pragma once

#include <QCheckBox>

// A check box whose greyed state is for the program alone: the program may set
// it (or restore it from durnix.ini), but a click or the space key only toggles,
// and a greyed box, which counts as set, is cleared by a click.
class VbCheckBox : public QCheckBox {
public:
    using QCheckBox::QCheckBox;

protected:
    void nextCheckState() override { setCheckState(checkState() == Qt::Unchecked ? Qt::Checked : Qt::Unchecked); }
};
