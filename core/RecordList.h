#pragma once

#include <QObject>
#include <QVariant>

class SqlListModel;

// A list of records and which of them is current: what grids show and editors move through.
// The list reads its rows in pages (SqlListModel); the current row follows the list when it
// is read again (the first row, or the one a search for a key found).
class RecordList : public QObject
{
    Q_OBJECT

public:
    explicit RecordList(QObject *parent = nullptr);

    SqlListModel *model() const { return m_model; }
    int rowCount() const;
    // -1 while the list is empty.
    int currentRow() const { return m_current; }
    bool hasCurrent() const { return m_current >= 0 && m_current < rowCount(); }
    // Rows outside the list are ignored.
    void setCurrentRow(int row);
    // A field of the current row (nothing without one).
    QVariant value(const QString &field) const;
    QVariant value(int row, const QString &field) const;

    // Reads the list's statement again; false when it failed.
    virtual bool reload();
    // Reads the list again and makes record `id` (its F_ID) current once it is found.
    bool showSaved(qint64 id);
    // After the current record was deleted: reads the list again and makes the record that
    // took its place current (the new last one when it was the last).
    bool reloadAfterDelete();

signals:
    void currentRowChanged(int row);

private:
    void setCurrent(int row);

    SqlListModel *m_model;
    int m_current = -1;
    int m_pendingRow = -1; // wanted once the count is known
};
