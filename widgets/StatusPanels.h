#pragma once

#include <QList>

class QLabel;
class QStatusBar;

// A list window's status bar: sunken panels "StatusPanel0"… of at least `widths`; the last one
// takes the rest of the width, its text on the right when `lastOnRight`.
QStatusBar *createStatusPanels(const QList<int> &widths, bool lastOnRight, QList<QLabel *> *panels);
