#pragma once

#include <QString>

// One column of a list grid, as layouts store it.
struct GridColumn
{
    enum Alignment { Left = 0, Centre = 1, Right = 2 };
    enum Footer { NoFooter = 0, StaticText = 1, Sum = 2 };

    QString field;
    QString caption;
    int width = 85;
    bool visible = true;
    bool readOnly = true;
    int alignment = Left;
    QString displayFormat;
    int footerType = NoFooter;
    QString footerValue;
};
