#pragma once

#include <QDialog>

class QMenu;
class QPushButton;
class QStatusBar;
class QTreeWidget;
class QTreeWidgetItem;

// The type-tree window: maintains one of the three type trees (modes 1, 3, 5) and, in modes 2,
// 4 and 6, also lets the caller pick a node.
class TFrmTreeCodeMan : public QDialog
{
    Q_OBJECT

public:
    explicit TFrmTreeCodeMan(QWidget *parent = nullptr);

    // Mode 1/2 sample types, 3/4 client types, 5/6 supplier types; loads the tree.
    void SetMode(int mode);
    int mode() const { return m_mode; }
    QString kind() const { return m_kind; }
    QTreeWidget *tree() const { return m_tree; }

    // After SetMode with a picker mode: shows the window modally with `current` (a stored
    // F_type) preselected and returns the chosen node's path on OK, else `current` unchanged.
    QString PickType(const QString &current);

    // The commands, each on the selected node; nothing without one.
    void addSibling();
    void addChild();
    void editNode();
    void deleteNode();
    // OK, a double-click, or Enter on the tree.
    void chooseNode();

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool isPicker() const { return m_mode == 2 || m_mode == 4 || m_mode == 6; }
    QTreeWidgetItem *selectedNode() const;
    // Makes the first node (`next`: after the current one) whose name matches `text` current.
    void findNode(const QString &text, bool next);
    bool handleKey(QKeyEvent *event, bool onTree);
    QString askNodeName(const QString &title, const QString &preset = {});
    // Refuses names that would make a path ambiguous; shows why.
    bool acceptableName(const QString &name, const QString &path, const QString &code);
    void showNodeStatus();

    int m_mode = 0;
    QString m_kind;
    QTreeWidget *m_tree;
    QMenu *m_popup;
    QPushButton *m_btnEdit;
    QPushButton *m_btnDelete;
    QPushButton *m_btnOK;
    QPushButton *m_btnCancel;
    QStatusBar *m_status;
};

// Runs the maintenance window of mode 1, 3 or 5 modally over `owner`.
void showTreeCodeMan(QWidget *owner, int mode);
