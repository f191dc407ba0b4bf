#include "widgets/PlaceForm.h"

#include <QApplication>
#include <QScreen>
#include <QWidget>

void PlaceForm(QWidget *window, int kind)
{
    QScreen *screen = window->screen() ? window->screen() : QApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    QWidget *owner = window->parentWidget() ? window->parentWidget()->window() : nullptr;

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
