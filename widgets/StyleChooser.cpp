#include "widgets/StyleChooser.h"

#include <QColorDialog>
#include <QFontDialog>
#include <optional>

namespace {
std::optional<QFont> g_nextFont;
std::optional<QColor> g_nextColor;

template <typename T> std::optional<T> take(std::optional<T> &primed)
{
    std::optional<T> answer = std::move(primed);
    primed.reset();
    return answer;
}
} // namespace

bool StyleChooser::font(QWidget *parent, const QFont &initial, QFont *chosen)
{
    if (std::optional<QFont> primed = take(g_nextFont)) {
        *chosen = *primed;
        return true;
    }
    bool ok = false;
    const QFont f = QFontDialog::getFont(&ok, initial, parent, QStringLiteral("字体"));
    if (ok)
        *chosen = f;
    return ok;
}

bool StyleChooser::color(QWidget *parent, const QColor &initial, QColor *chosen)
{
    const std::optional<QColor> primed = take(g_nextColor);
    const QColor c =
        primed ? *primed : QColorDialog::getColor(initial, parent, QStringLiteral("颜色"));
    if (!c.isValid())
        return false;
    *chosen = c;
    return true;
}

void StyleChooser::setNextFont(const QFont &font)
{
    g_nextFont = font;
}

void StyleChooser::setNextColor(const QColor &color)
{
    g_nextColor = color;
}
