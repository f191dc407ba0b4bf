#pragma once

#include <QApplication>
#include <QTimer>

// Runs `act` on the next modal window of type T as soon as it is up.
template <typename T, typename F> void whenModal(QObject *scope, F act)
{
    QTimer::singleShot(0, scope, [=] {
        if (auto *window = qobject_cast<T *>(QApplication::activeModalWidget()))
            act(window);
        else
            whenModal<T>(scope, act);
    });
}
