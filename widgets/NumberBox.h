#pragma once

#include <QDoubleSpinBox>

// A number typed in place (quantities, prices, amounts): no arrows, thousands separators,
// a fixed number of decimals, any size a price list may hold.
class NumberBox : public QDoubleSpinBox
{
    Q_OBJECT

public:
    explicit NumberBox(int decimals, QWidget *parent = nullptr);
};
