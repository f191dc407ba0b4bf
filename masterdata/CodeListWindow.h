#pragma once

#include "masterdata/CodeListModel.h"

#include <QDialog>
#include <functional>

class CodeListDelegate;
class QAction;
class QKeyEvent;
class QTabBar;
class QTableView;

// What one code-list window shows and asks.
struct CodeListDescription
{
    struct Tab
    {
        QString name; // "t" + the kind it lists
        QString caption;
    };

    QString objectName;
    QString title;
    // Without tabs the window lists `kind` alone, under `bandText`.
    QList<Tab> tabs;
    QString kind;
    QString bandText;
    // A column without a caption takes the active tab's.
    QList<CodeListColumn> columns;
    std::function<QString(const QString &tabCaption, const QString &name)> deleteQuestion;
};

// Maintains t_code lists: browsing until New or Edit, then editing in memory until Save
// sends every change at once or Cancel forgets them.
class CodeListWindow : public QDialog
{
    Q_OBJECT

public:
    explicit CodeListWindow(const CodeListDescription &description, QWidget *parent = nullptr);

    QString kind() const;
    bool isEditing() const { return m_editing; }

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QAction *addCommand(const QString &name, const QString &caption, const QString &icon);
    void createBand();
    void createStatusBar();
    void openTab(int index);
    void setEditing(bool editing);
    void setCurrentRow(int row);
    int currentRow() const;
    void appendRow();

    void newRow();
    void editRows();
    void deleteRow();
    void save();
    void cancel();
    void refresh();

    // The window sees every key before its controls do.
    bool previewKey(QKeyEvent *event, QObject *receiver);
    bool isInGrid(QObject *object) const;
    void moveToNextColumn();

    CodeListDescription m_description;
    CodeListModel *m_model;
    CodeListDelegate *m_delegate;
    QTableView *m_grid;
    QTabBar *m_tabs = nullptr;
    QAction *m_new;
    QAction *m_edit;
    QAction *m_delete;
    QAction *m_save;
    QAction *m_cancel;
    QAction *m_print;
    QAction *m_refresh;
    QAction *m_exit;
    bool m_editing = false;
    bool m_placed = false;
};
