#pragma once

#include "core/Journal.h"

#include <QDialog>

class QPushButton;
class QTableWidget;

// 已删除的记录 of one table: who deleted each and when; 恢复 brings the chosen record back
// with its key (a sample with its pictures), asking for a new code when its code was reused.
class DeletedRecordsDialog : public QDialog
{
    Q_OBJECT

public:
    // `nameColumn` is shown beside the code.
    DeletedRecordsDialog(const QString &table, const QString &nameColumn, const QString &title,
                         QWidget *parent = nullptr);

    // The keys of the records brought back while the dialog was open, the last one last.
    const QList<qint64> &restored() const { return m_restored; }

private:
    void load();
    void restore();

    QString m_table;
    QString m_nameColumn;
    QList<Journal::Change> m_deleted;
    QTableWidget *m_list;
    QPushButton *m_restore;
    QList<qint64> m_restored;
};
