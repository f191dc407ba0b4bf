#include "core/RecordList.h"

#include "core/DataDm.h"
#include "core/SqlListModel.h"

RecordList::RecordList(QObject *parent) : QObject(parent), m_model(new SqlListModel(this))
{
    // After a reset the first row holds another record even when the number stays.
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        m_pendingRow = -1;
        m_current = rowCount() > 0 ? 0 : -1;
        emit currentRowChanged(m_current);
    });
    connect(m_model, &SqlListModel::aggregatesReady, this, [this] {
        if (m_pendingRow < 0)
            return;
        const int row = qMin(m_pendingRow, rowCount() - 1);
        m_pendingRow = -1;
        setCurrentRow(row);
    });
    connect(m_model, &SqlListModel::located, this, [this](int row) {
        if (row >= 0)
            setCurrentRow(row);
    });
    // Damage met while browsing is told, not shown as blank rows.
    connect(m_model, &SqlListModel::failed, this, [](const QString &error) {
        if (dmData)
            dmData->reportFailure(error);
    });
    // The list shrinks when its count arrives below the rows read so far.
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, [this] {
        if (m_current >= rowCount())
            setCurrent(rowCount() - 1);
    });
}

int RecordList::rowCount() const
{
    return m_model->rowCount();
}

void RecordList::setCurrentRow(int row)
{
    if (row < 0 || row >= rowCount())
        return;
    m_pendingRow = -1;
    setCurrent(row);
}

void RecordList::setCurrent(int row)
{
    if (row == m_current)
        return;
    m_current = row;
    emit currentRowChanged(row);
}

QVariant RecordList::value(const QString &field) const
{
    return hasCurrent() ? m_model->value(m_current, field) : QVariant();
}

QVariant RecordList::value(int row, const QString &field) const
{
    return m_model->value(row, field);
}

bool RecordList::reload()
{
    return m_model->reload();
}

bool RecordList::showSaved(qint64 id)
{
    const bool ok = reload();
    m_model->locate(QStringLiteral("F_ID"), id);
    return ok;
}

bool RecordList::reloadAfterDelete()
{
    const int row = m_current;
    const bool ok = reload();
    // Until the count arrives only the first page is known.
    if (m_model->isRowCountKnown())
        setCurrentRow(qMin(row, rowCount() - 1));
    else
        m_pendingRow = row;
    return ok;
}
