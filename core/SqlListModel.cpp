#include "core/SqlListModel.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

SqlListModel::SqlListModel(QObject *parent) : QAbstractTableModel(parent) {}

bool SqlListModel::setQuery(QSqlDatabase db, const QString &select, const QVariantList &values,
                            const QString &orderBy)
{
    m_db = std::move(db);
    m_select = select;
    m_values = values;
    m_orderBy = orderBy;
    return run();
}

bool SqlListModel::setOrderBy(const QString &orderBy)
{
    if (m_select.isEmpty())
        return false;
    m_orderBy = orderBy;
    return run();
}

void SqlListModel::clear()
{
    beginResetModel();
    m_select.clear();
    m_values.clear();
    m_orderBy.clear();
    m_fields.clear();
    m_fieldByName.clear();
    m_rowCount = 0;
    m_open = false;
    m_pages.clear();
    m_recent.clear();
    endResetModel();
}

bool SqlListModel::run()
{
    beginResetModel();
    m_pages.clear();
    m_recent.clear();
    m_fields.clear();
    m_fieldByName.clear();
    m_rowCount = 0;
    m_open = false;
    m_lastError.clear();

    Page first;
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    bool ok = q.prepare(m_select + orderClause() + QStringLiteral(" limit ? offset 0"));
    if (ok) {
        for (const QVariant &v : std::as_const(m_values))
            q.addBindValue(v);
        q.addBindValue(kPageSize);
        ok = q.exec();
    }
    if (ok) {
        const QSqlRecord record = q.record();
        for (int i = 0; i < record.count(); ++i) {
            m_fields << record.fieldName(i);
            m_fieldByName.insert(record.fieldName(i).toLower(), i);
        }
        while (q.next()) {
            Row row;
            row.reserve(m_fields.size());
            for (int i = 0; i < m_fields.size(); ++i)
                row << q.value(i);
            first.push_back(std::move(row));
        }
        ok = !q.lastError().isValid();
    }
    if (ok && int(first.size()) == kPageSize)
        m_rowCount = countRows(&m_lastError);
    else
        m_rowCount = int(first.size());
    if (!ok)
        m_lastError = q.lastError().text();
    ok = ok && m_lastError.isEmpty();
    if (ok) {
        m_open = true;
        m_pages.insert(0, std::move(first));
        m_recent.push_front(0);
    } else {
        m_rowCount = 0;
    }
    endResetModel();
    return ok;
}

QString SqlListModel::orderClause() const
{
    if (m_orderBy.isEmpty())
        return QStringLiteral(" order by ") + m_keyColumn;
    return u' ' + m_orderBy + QStringLiteral(", ") + m_keyColumn;
}

int SqlListModel::countRows(QString *error) const
{
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    bool ok = q.prepare(QStringLiteral("select count(*) from (") + m_select +
                        QStringLiteral(") counted"));
    if (ok) {
        for (const QVariant &v : m_values)
            q.addBindValue(v);
        ok = q.exec() && q.next();
    }
    if (!ok) {
        *error = q.lastError().text();
        return 0;
    }
    return q.value(0).toInt();
}

bool SqlListModel::readPage(int page, Page *rows, QString *error) const
{
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    bool ok = q.prepare(m_select + orderClause() + QStringLiteral(" limit ? offset ?"));
    if (ok) {
        for (const QVariant &v : m_values)
            q.addBindValue(v);
        q.addBindValue(kPageSize);
        q.addBindValue(page * kPageSize);
        ok = q.exec();
    }
    if (!ok) {
        *error = q.lastError().text();
        return false;
    }
    const int columns = int(m_fields.size());
    while (q.next()) {
        Row row;
        row.reserve(columns);
        for (int i = 0; i < columns; ++i)
            row << q.value(i);
        rows->push_back(std::move(row));
    }
    return true;
}

const SqlListModel::Page *SqlListModel::page(int index) const
{
    auto found = m_pages.find(index);
    if (found != m_pages.end()) {
        if (m_recent.front() != index) {
            m_recent.remove(index);
            m_recent.push_front(index);
        }
        return &found.value();
    }
    Page rows;
    QString error;
    if (!readPage(index, &rows, &error))
        return nullptr;
    if (int(m_recent.size()) >= kCachedPages) {
        m_pages.remove(m_recent.back());
        m_recent.pop_back();
    }
    m_recent.push_front(index);
    return &m_pages.insert(index, std::move(rows)).value();
}

int SqlListModel::fieldIndex(const QString &field) const
{
    return m_fieldByName.value(field.toLower(), -1);
}

QVariant SqlListModel::value(int row, int field) const
{
    if (row < 0 || row >= m_rowCount || field < 0 || field >= m_fields.size())
        return {};
    const Page *rows = page(row / kPageSize);
    const int inPage = row % kPageSize;
    if (!rows || inPage >= int(rows->size()))
        return {};
    return (*rows)[inPage].at(field);
}

QVariant SqlListModel::value(int row, const QString &field) const
{
    return value(row, fieldIndex(field));
}

int SqlListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rowCount;
}

int SqlListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_fields.size());
}

QVariant SqlListModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    return value(index.row(), index.column());
}

QVariant SqlListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return m_fields.value(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}
