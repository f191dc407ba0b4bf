#pragma once

#include <QHash>
#include <QMainWindow>

class QLabel;
class QMenu;
class QTimer;
class QToolBar;

// The application's main window: menus, tool bar and status bar around the sample register.
// Every command is a numbered QAction shared by menus, tool bar and keys; rights hide them.
class TFrmMain : public QMainWindow
{
    Q_OBJECT

public:
    explicit TFrmMain(QWidget *parent = nullptr);

    QAction *action(int id) const { return m_commands.value(id); }

    // Shows exactly the commands the current operator holds, and the top-level menus that
    // still have one of them.
    void SetLimits();

    void setStatusPanel(int panel, const QString &text);
    QString statusPanel(int panel) const;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void createCommands();
    void createMenus();
    void createToolBar();
    void createStatusBar();
    QAction *addPlainAction(const QString &name, const QString &caption, const char *icon = "");
    void updateClock();
    void changeOperator();
    void compactDatabase();
    void connectNetworkDatabase();

    QHash<int, QAction *> m_commands;
    QHash<int, QMenu *> m_groupMenus; // top-level menu by command group
    QToolBar *m_toolBar = nullptr;
    QAction *m_printButton = nullptr;
    QWidget *m_navigator = nullptr;
    QList<QLabel *> m_panels;
    QTimer *m_clock = nullptr;
    bool m_shownOnce = false;
};
