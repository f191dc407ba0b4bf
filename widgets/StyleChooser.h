#pragma once

#include <QColor>
#include <QFont>

class QWidget;

// The font and colour dialogs behind one seam: a test primes the next answer instead of a
// modal dialog appearing.
class StyleChooser
{
public:
    // False when the user cancelled.
    static bool font(QWidget *parent, const QFont &initial, QFont *chosen);
    static bool color(QWidget *parent, const QColor &initial, QColor *chosen);
    // The next call answers without a dialog; an invalid colour cancels.
    static void setNextFont(const QFont &font);
    static void setNextColor(const QColor &color);
};
