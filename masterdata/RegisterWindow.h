#pragma once

#include "masterdata/RegisterDescription.h"
#include "masterdata/RegisterStore.h"

#include <QDialog>
#include <QVariantMap>
#include <optional>

class DBGridEh;
class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class RecordList;
class SqlListModel;

// A register list (clients, suppliers, the sample catalogue) by its description: type tree,
// search bar, grid, commands; also the picker other windows choose an entry with.
class RegisterWindow : public QDialog
{
    Q_OBJECT

public:
    explicit RegisterWindow(const RegisterDescription &description, QWidget *parent = nullptr);

    const RegisterDescription &description() const { return m_description; }

    // Rebuilds the list from the tree node, search and disabled check box; nothing while no
    // node is selected.
    void RefreshList();
    // Reads the list again and moves to entry `id` once it is found.
    void showEntry(qint64 id);

    // Runs modally as a picker: the current row's fields on OK, nothing on cancel.
    std::optional<QVariantMap> pickRow();

    DBGridEh *grid() const { return DBGridEh1; }
    RecordList &records() const { return *m_records; }
    SqlListModel *list() const;
    QTreeWidget *tree() const { return m_tree; }
    int currentRow() const;
    void setCurrentRow(int row);
    QVariant current(const QString &field) const;
    QString statusPanel(int panel) const;

    void newEntry();
    void editEntry();
    void deleteEntry();

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *createToolBar();
    QWidget *createSearchBar();
    void chooseSearch(int index);
    void updateMoves();
    void openEditor(int mode);
    QVariantMap currentRowValues() const;

    const RegisterDescription &m_description;
    bool m_picker = false;
    bool m_shownOnce = false;
    QTreeWidget *m_tree;
    QComboBox *cbbSearchType;
    QLineEdit *edtSearch;
    QComboBox *cbbSearchValue;
    QCheckBox *chkDisabled;
    DBGridEh *DBGridEh1;
    RecordList *m_records;
    QList<QLabel *> m_panels;
    QHash<QString, QAction *> m_actions; // by object name
    QWidget *m_pickButtons;
};
