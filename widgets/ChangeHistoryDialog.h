#pragma once

#include "core/Journal.h"

#include <QDialog>
#include <functional>

class QPushButton;
class QTableWidget;

// 修改历史 of one record (a sample or a register entry): its changes, newest first, and beside
// the chosen one its columns' old and new values; 恢复到此版本 writes that version back.
class ChangeHistoryDialog : public QDialog
{
    Q_OBJECT

public:
    // The caption of a column; empty for a column the user does not see.
    using Caption = std::function<QString(const QString &column)>;

    ChangeHistoryDialog(const QString &table, qint64 rowId, const QString &title, Caption caption,
                        QWidget *parent = nullptr);

    // Whether a version was written back while the dialog was open.
    bool hasReverted() const { return m_reverted; }

private:
    void load();
    void showChange(int row);
    void revert();

    QString m_table;
    qint64 m_rowId;
    Caption m_caption;
    QList<Journal::Change> m_history;
    QTableWidget *m_changes;
    QTableWidget *m_differences;
    QPushButton *m_revert;
    bool m_reverted = false;
};

// A journaled value as the user reads it: dates without the "no date" mark, yes and no.
QString shownValue(const QJsonValue &value);
