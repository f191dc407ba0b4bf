#include "widgets/CommandRegistry.h"

#include "core/CommandTable.h"

#include <QAction>
#include <QIcon>
#include <QWidget>

namespace {

QAction *newAction(QWidget *window, const QString &name, const QString &caption, const char *icon)
{
    auto *a = new QAction(caption, window);
    a->setObjectName(name);
    if (*icon)
        a->setIcon(QIcon::fromTheme(QLatin1String(icon)));
    // A command is enabled by the subsystem that handles it.
    a->setEnabled(false);
    return a;
}

} // namespace

CommandRegistry::CommandRegistry(QWidget *window) : QObject(window), m_window(window)
{
    for (const MainCommand &c : mainCommands())
        m_numbered.insert(c.id, newAction(window, QStringLiteral("Action%1").arg(c.id),
                                          QString::fromUtf8(c.caption), c.icon));
}

QAction *CommandRegistry::addNamed(const QString &name, const QString &caption, const char *icon)
{
    QAction *a = newAction(m_window, name, caption, icon);
    m_named.insert(name, a);
    return a;
}

void CommandRegistry::handle(int id, std::function<void()> handler)
{
    connectHandler(action(id), std::move(handler));
}

void CommandRegistry::handle(const QString &name, std::function<void()> handler)
{
    connectHandler(action(name), std::move(handler));
}

void CommandRegistry::connectHandler(QAction *action, std::function<void()> handler)
{
    Q_ASSERT(action);
    action->setEnabled(true);
    connect(action, &QAction::triggered, this, [run = std::move(handler)] { run(); });
}

void CommandRegistry::applyRights(const QSet<QString> &rights)
{
    for (const MainCommand &c : mainCommands()) {
        if (isRightControlled(c.id))
            action(c.id)->setVisible(rights.contains(QString::number(c.id)));
    }
}

bool CommandRegistry::anyVisibleIn(int group) const
{
    for (const MainCommand &c : mainCommands()) {
        if (menuGroupOf(c.id) == group && isRightControlled(c.id) && action(c.id)->isVisible())
            return true;
    }
    return false;
}

void CommandRegistry::runIfVisible(int id)
{
    QAction *a = action(id);
    if (a->isVisible() && a->isEnabled())
        a->trigger();
}
