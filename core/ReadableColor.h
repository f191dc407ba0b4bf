#pragma once

#include <QColor>

// Colours that mark something (the edit date, disabled rows, marked preview rows) chosen
// against the palette they are drawn on, so their text stays readable on light and dark
// desktops alike.
namespace ReadableColor {

// The contrast ratio of two colours as accessibility guidelines measure it: 1 (none) to 21.
double contrast(const QColor &a, const QColor &b);

// `accent` as a fill on `base`: itself on a light base, mostly `base` on a dark one, so a
// marked field is still told apart without glaring.
QColor tintOn(const QColor &accent, const QColor &base);

// Black or white, whichever reads better on `background`.
QColor textOn(const QColor &background);

// `accent` made darker (on a light background) or lighter (on a dark one) until text in it
// reaches a contrast of 4.5 on `background`; its hue kept.
QColor readableOn(const QColor &accent, const QColor &background);

} // namespace ReadableColor
