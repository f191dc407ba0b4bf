#include "masterdata/CodeListModel.h"

#include "core/DataDm.h"
#include "core/DisplayFormat.h"
#include "core/Transaction.h"

#include <QSqlError>
#include <QSqlQuery>

CodeListModel::CodeListModel(const QList<CodeListColumn> &columns, QObject *parent)
    : QAbstractTableModel(parent), m_columns(columns)
{
}

bool CodeListModel::open(const QString &kind)
{
    QStringList fields;
    for (const CodeListColumn &c : std::as_const(m_columns))
        fields << c.field;
    QSqlQuery q(dmData->database());
    const bool ok = dmData->OpenSql(q,
                                    QStringLiteral("select F_ID, %1 from t_code where F_type = ? "
                                                   "order by F_ID")
                                        .arg(fields.join(QStringLiteral(", "))),
                                    {kind});
    QList<Row> rows;
    while (ok && q.next()) {
        Row row{q.value(0), {}};
        for (int i = 0; i < m_columns.size(); ++i)
            row.values << q.value(i + 1);
        rows << row;
    }
    beginResetModel();
    m_kind = kind;
    m_rows = rows;
    m_stored = rows;
    endResetModel();
    return ok;
}

void CodeListModel::setCaption(int column, const QString &caption)
{
    m_columns[column].caption = caption;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

void CodeListModel::setEditable(bool editable)
{
    m_editable = editable;
    if (!m_rows.isEmpty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

int CodeListModel::appendRow()
{
    Row row;
    for (const CodeListColumn &c : std::as_const(m_columns))
        row.values << (c.numeric ? QVariant() : QVariant(QStringLiteral("")));
    const int at = rowCount();
    beginInsertRows({}, at, at);
    m_rows << row;
    endInsertRows();
    return at;
}

bool CodeListModel::isBlankNewRow(int row) const
{
    const Row &r = m_rows.at(row);
    if (!r.id.isNull())
        return false;
    for (const QVariant &v : r.values) {
        if (!v.toString().isEmpty())
            return false;
    }
    return true;
}

QString CodeListModel::name(int row) const
{
    for (int i = 0; i < m_columns.size(); ++i) {
        if (m_columns[i].field.compare(u"F_Name", Qt::CaseInsensitive) == 0)
            return m_rows.at(row).values.at(i).toString();
    }
    return {};
}

bool CodeListModel::changed(const Row &row) const
{
    if (row.id.isNull())
        return true;
    for (const Row &stored : m_stored) {
        if (stored.id == row.id)
            return stored.values != row.values;
    }
    return true;
}

QVariantList CodeListModel::storedValues(const Row &row) const
{
    // Readers compare names with '': a missing text is an empty one, never NULL.
    QVariantList values;
    for (int i = 0; i < m_columns.size(); ++i) {
        const QVariant &v = row.values.at(i);
        if (m_columns[i].numeric)
            values << (v.isNull() ? QVariant(QMetaType::fromType<double>()) : v);
        else
            values << QVariant(v.toString().isNull() ? QStringLiteral("") : v.toString());
    }
    return values;
}

bool CodeListModel::sendChanges(QString *error)
{
    const QString table = QStringLiteral("t_code");
    QSqlDatabase db = dmData->database();
    Transaction transaction(db);
    if (!transaction.began(error))
        return false;
    RecordWriter writer = dmData->writer(Journal::kChanged, m_kind);
    for (const Row &row : std::as_const(m_rows)) {
        if (!changed(row))
            continue;
        QVariantMap values{{QStringLiteral("F_type"), m_kind}};
        const QVariantList stored = storedValues(row);
        for (int i = 0; i < m_columns.size(); ++i)
            values.insert(m_columns.at(i).field, stored.at(i));
        if (row.id.isNull() ? !writer.insert(table, values, error)
                            : !writer.update(table, row.id.toLongLong(), values, error))
            return false;
    }
    if (!transaction.commit(error))
        return false;
    // Appended rows learn their keys.
    open(m_kind);
    return true;
}

void CodeListModel::discardChanges()
{
    beginResetModel();
    m_rows = m_stored;
    endResetModel();
}

bool CodeListModel::removeStoredRow(int row)
{
    const QVariant id = m_rows.at(row).id;
    QString error;
    Transaction transaction(dmData->database());
    if (!transaction.began(&error) ||
        !dmData->writer(Journal::kDeleted, m_kind)
             .remove(QStringLiteral("t_code"), id.toLongLong(), &error) ||
        !transaction.commit(&error)) {
        dmData->showFailure(kMsgDeleteFailed, error);
        return false;
    }
    beginRemoveRows({}, row, row);
    m_rows.removeAt(row);
    m_stored.removeIf([&id](const Row &r) { return r.id == id; });
    endRemoveRows();
    return true;
}

int CodeListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int CodeListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant CodeListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const CodeListColumn &column = m_columns.at(index.column());
    const QVariant &value = m_rows.at(index.row()).values.at(index.column());
    switch (role) {
    case Qt::DisplayRole:
        return DisplayFormat::format(value, column.displayFormat);
    case Qt::EditRole:
        return value;
    case Qt::TextAlignmentRole:
        return int((column.numeric ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    default:
        return {};
    }
}

bool CodeListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!m_editable || !index.isValid() || role != Qt::EditRole)
        return false;
    m_rows[index.row()].values[index.column()] = value;
    emit dataChanged(index, index);
    return true;
}

Qt::ItemFlags CodeListModel::flags(const QModelIndex &index) const
{
    const Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    return m_editable ? flags | Qt::ItemIsEditable : flags;
}

QVariant CodeListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return m_columns.at(section).caption;
    return QAbstractTableModel::headerData(section, orientation, role);
}
