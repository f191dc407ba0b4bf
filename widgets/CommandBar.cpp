#include "widgets/CommandBar.h"

#include <QAction>
#include <QIcon>
#include <QToolBar>

QToolBar *createCommandBar(const QList<BarCommand> &commands, QObject *owner,
                           QHash<QString, QAction *> *actions)
{
    auto *bar = new QToolBar;
    bar->setObjectName(QStringLiteral("ToolBar1"));
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    bar->setIconSize(QSize(24, 24));
    for (const BarCommand &c : commands) {
        if (!c.name) {
            bar->addSeparator();
            continue;
        }
        auto *a = new QAction(QIcon::fromTheme(QLatin1String(c.icon)), QString::fromUtf8(c.caption),
                              owner);
        a->setObjectName(QLatin1String(c.name));
        if (*c.shortcut) {
            a->setShortcut(QKeySequence(QLatin1String(c.shortcut)));
            a->setShortcutContext(Qt::WindowShortcut);
        }
        bar->addAction(a);
        actions->insert(a->objectName(), a);
    }
    return bar;
}
