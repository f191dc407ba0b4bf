#pragma once

#include "core/GridColumn.h"
#include "widgets/CommandBar.h"

#include <QDialog>
#include <QHash>
#include <QKeySequence>
#include <QList>
#include <optional>

class DBGridEh;
class QAction;
class QKeyEvent;
class QLabel;
class QToolBar;
class RecordList;
class SqlListModel;

// What a list window's frame is made of.
struct ListFrame
{
    QString objectName; // of the window
    QString title;
    QList<GridColumn> columns;
    QString layoutKey; // of the grid's stored layout in cfg_Grid
    QList<BarCommand> commands;
    bool titleOnRight = false; // the last status panel's text stands on the right
};

// A key of a list window and the tool-bar command it runs while that command is enabled.
struct ListKey
{
    int key;
    const char *action;
};

// The frame the list windows share (the registers, the statistics lists): a tool bar made from
// a table of commands, the grid DBGridEh1 over a record list with its layout pop-up, four
// status panels, keys that run tool-bar commands, and the stored layout and the product title
// on first show. 退出 (tbExit) closes the window.
class ListWindow : public QDialog
{
    Q_OBJECT

public:
    DBGridEh *grid() const { return DBGridEh1; }
    RecordList &records() const { return *m_records; }
    SqlListModel *list() const;
    QAction *action(const QString &objectName) const { return m_actions.value(objectName); }
    QString statusPanel(int panel) const;

protected:
    ListWindow(const ListFrame &frame, QWidget *parent);

    // Lays the window out: the tool bar, `parts` (each with its stretch), the status bar.
    void layOut(const QList<QPair<QWidget *, int>> &parts);
    QToolBar *toolBar() const { return m_toolBar; }
    void setStatusPanel(int panel, const QString &text);
    // Runs the command when it is enabled; true in any case (the key is used).
    bool runIfEnabled(const QString &actionName);
    // Keys that run their command while the grid has the focus.
    void addGridKeys(std::initializer_list<ListKey> keys);
    // Keys the window acts on from any of its boxes (see runWindowKey()).
    void setWindowKeys(std::initializer_list<ListKey> keys);
    // Runs the command of a window key pressed in `watched` (unmodified); whether the key is
    // used up: Esc and keys in the grid are, a text box goes on to handle the others too.
    // Nothing for other keys.
    std::optional<bool> runWindowKey(QObject *watched, const QKeyEvent *key);
    // After the stored layout and the title, the first time the window shows.
    virtual void shownFirst() {}

    void showEvent(QShowEvent *event) override;

    DBGridEh *DBGridEh1;
    RecordList *m_records;
    QHash<QString, QAction *> m_actions; // by object name

private:
    QString m_layoutKey;
    bool m_titleOnRight;
    QToolBar *m_toolBar;
    QList<QLabel *> m_panels;
    QList<ListKey> m_windowKeys;
    bool m_shownOnce = false;
};
