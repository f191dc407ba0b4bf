#pragma once

#include <QHash>
#include <QList>
#include <QString>

class QAction;
class QObject;
class QToolBar;

// One button of a list window's tool bar; a command without a name stands for a separator.
struct BarCommand
{
    const char *name = nullptr; // object name of the action
    const char *caption = nullptr;
    const char *icon = nullptr; // theme icon
    const char *shortcut = "";  // for the whole window
};

// A tool bar of `commands` with captions under their icons; `actions` receives the actions by
// object name.
QToolBar *createCommandBar(const QList<BarCommand> &commands, QObject *owner,
                           QHash<QString, QAction *> *actions);
