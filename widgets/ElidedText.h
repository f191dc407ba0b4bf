#pragma once

#include <QString>

class QFontMetrics;

// Texts of any length (a reason naming a path, a server's answer) made fit for a word-wrapped
// label: a very long text keeps its beginning and its end, and a piece that cannot be broken
// across lines (a path, a URL) is elided in its middle to `width` pixels, so the label never
// grows wider than `width` nor taller than a few lines.
namespace ElidedText {

QString forLabel(const QString &text, const QFontMetrics &metrics, int width);

} // namespace ElidedText
