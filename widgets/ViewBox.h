#pragma once

#include "core/ViewStore.h"

#include <QJsonObject>
#include <QList>
#include <QStringList>
#include <QWidget>
#include <functional>

class DBGridEh;
class QComboBox;
class QLabel;
class QToolButton;

// How a list window takes part in its named views: its criteria as one value, and reading the
// list once they are restored.
struct ViewParts
{
    std::function<QJsonObject()> saveCriteria;
    std::function<void(const QJsonObject &, QStringList *notes)> restoreCriteria;
    std::function<void()> runList;
};

// The 视图 box of a list window: the operator's named views and those shared with everyone.
// Choosing one restores its criteria, reads the list and restores its order and columns;
// 保存视图… stores the window as it stands, 删除视图 removes the chosen view (its owner or admin).
// A part naming what no longer exists is left out and said beside the box.
class ViewBox : public QWidget
{
    Q_OBJECT

public:
    ViewBox(const QString &windowKey, DBGridEh *grid, ViewParts parts, QWidget *parent = nullptr);

    // The names offered, as the box lists them.
    QStringList names() const;
    // Stores the window under `name`, asking before it replaces the operator's own view of
    // that name. False when nothing was stored.
    bool saveAs(const QString &name, bool shared);
    // Restores the view listed as `name`; false when there is none.
    bool choose(const QString &name);
    // What the last restore left out, as shown beside the box.
    QString note() const;
    // Lists the views again (after a change of operator, say).
    void reload();

private:
    void askSave();
    void restore(int index);
    void deleteChosen();
    QString currentValue() const;
    void showNote(const QStringList &notes);

    QString m_windowKey;
    DBGridEh *m_grid;
    ViewParts m_parts;
    QList<SavedView> m_views; // as listed
    QComboBox *cbbView;
    QToolButton *m_save;
    QToolButton *m_delete;
    QLabel *m_note;
};
