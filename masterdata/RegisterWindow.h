#pragma once

#include "masterdata/RegisterDescription.h"
#include "masterdata/RegisterStore.h"
#include "widgets/ListWindow.h"

#include <QVariantMap>
#include <optional>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QTreeWidget;

// A register list (clients, suppliers, the sample catalogue) by its description: type tree,
// search bar, grid, commands; also the picker other windows choose an entry with.
class RegisterWindow : public ListWindow
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

    QTreeWidget *tree() const { return m_tree; }
    int currentRow() const;
    void setCurrentRow(int row);
    QVariant current(const QString &field) const;

    void newEntry();
    void editEntry();
    void deleteEntry();
    void showHistory();
    void showDeleted();
    // Finds the entry whose code (the chosen search's column) is `code`, as Enter in the search
    // box does for a code search: the box then holds the code, selected for the next scan; one
    // entry is selected, the list first widened to the whole register when it hides the entry;
    // none is told in the status bar, without a box.
    void scanCode(const QString &code);

protected:
    void shownFirst() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void connectCommands();
    QWidget *createSearchBar();
    void chooseSearch(int index);
    void updateMoves();
    void openEditor(int mode);
    QVariantMap currentRowValues() const;
    // A code is chosen in the search bar: Enter finds its entry.
    bool searchScans() const;
    void scanLocated(int row);
    void tellScan(const QString &text);

    const RegisterDescription &m_description;
    bool m_picker = false;
    QTreeWidget *m_tree;
    QComboBox *cbbSearchType;
    QLineEdit *edtSearch;
    QComboBox *cbbSearchValue;
    QCheckBox *chkDisabled;
    QWidget *m_pickButtons;
    // A scanned code being located in the list.
    struct PendingScan
    {
        qint64 id;
        QString code;
        QString caption; // of the search
        qsizetype found; // entries holding the code
        bool widened = false;
    };
    std::optional<PendingScan> m_scan;
};
