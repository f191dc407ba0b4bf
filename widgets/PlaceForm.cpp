#include "widgets/PlaceForm.h"

#include <QApplication>
#include <QScreen>
#include <QWidget>

void PlaceForm(QWidget *window, int kind)
{
    QScreen *screen = window->screen() ? window->screen() : QApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    QWidget *owner = window->parentWidget() ? window->parentWidget()->window() : nullptr;
    // A window not yet shown has no size of its own: take the one its layout will give it, or
    // it is centred with a size it never has.
    if (!window->isVisible() && !window->testAttribute(Qt::WA_Resized))
        window->adjustSize();

    QRect frame = window->frameGeometry();
    if (kind == 2) {
        frame.setSize(available.size() * 0.9);
        window->resize(frame.size());
    }
    const QPoint centre = kind == 0 && owner ? owner->frameGeometry().center() : available.center();
    frame.moveCenter(centre);
    // Never place a title bar off the screen.
    frame.moveLeft(qBound(available.left(), frame.left(),
                          qMax(available.left(), available.right() - frame.width())));
    frame.moveTop(qBound(available.top(), frame.top(),
                         qMax(available.top(), available.bottom() - frame.height())));
    window->move(frame.topLeft());
}
