#pragma once

#include <QDialog>

class DBGridEh;
class QCheckBox;
class QPlainTextEdit;
class RecordList;

// "操作员权限管理": the operators with their descriptions; adds, changes and deletes them
// through the operator window. admin, in any letter case, is neither changed nor deleted.
class TfrmOperGl : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmOperGl(QWidget *parent = nullptr);

    RecordList &operators() const { return *m_operators; }
    DBGridEh *grid() const { return DBGridEh1; }

    // Reads the list again, disabled operators only while they are asked for.
    void RefreshList();
    void addOperator();
    void editOperator();
    void deleteOperator();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void runIfEnabled(const char *buttonName);

    RecordList *m_operators;
    DBGridEh *DBGridEh1;
    QPlainTextEdit *m_description;
    QCheckBox *m_showDisabled;
    bool m_shownOnce = false;
};

void showOperGl(QWidget *owner);
