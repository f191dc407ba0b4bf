#pragma once

#include <QHash>
#include <QObject>
#include <QSet>
#include <functional>

class QAction;
class QWidget;

// The main window's commands as actions that its menus, tool bar, pop-ups and keys share: the
// numbered ones of the command table and a few named ones. Each subsystem installs the
// handlers of its own commands; a command without a handler stays disabled. Rights hide the
// numbered commands they control.
class CommandRegistry : public QObject
{
    Q_OBJECT

public:
    // The actions belong to `window`, so its shortcuts reach them.
    explicit CommandRegistry(QWidget *window);

    QAction *action(int id) const { return m_numbered.value(id); }
    QAction *action(const QString &name) const { return m_named.value(name); }
    // A command that has no number (重新登录 …).
    QAction *addNamed(const QString &name, const QString &caption, const char *icon);

    // Runs `handler` whenever the command is chosen, and enables it.
    void handle(int id, std::function<void()> handler);
    void handle(const QString &name, std::function<void()> handler);

    // Shows exactly the right-controlled commands whose codes are in `rights`.
    void applyRights(const QSet<QString> &rights);
    // Whether any right-controlled command of a menu group (1 file … 5 data) is visible.
    bool anyVisibleIn(int group) const;
    // Chooses command `id` as a key or a double click does: only while visible and enabled.
    void runIfVisible(int id);

private:
    void connectHandler(QAction *action, std::function<void()> handler);

    QWidget *m_window;
    QHash<int, QAction *> m_numbered;
    QHash<QString, QAction *> m_named;
};
