#include "widgets/NumberBox.h"

NumberBox::NumberBox(int decimals, QWidget *parent) : QDoubleSpinBox(parent)
{
    setDecimals(decimals);
    setRange(-1e12, 1e12);
    setButtonSymbols(QAbstractSpinBox::NoButtons);
    setGroupSeparatorShown(true);
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
}
