#include "core/Journal.h"

#include "core/Schema.h"

#include <QDate>
#include <QDateTime>
#include <QJsonDocument>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>

namespace Journal {

namespace {

using Schema::ColumnType;

const QString kChangeColumns = QStringLiteral(
    "select r.F_ID, r.F_set, s.F_stamp, s.F_OperName, s.F_station, s.F_kind, s.F_summary, "
    "r.F_tablename, r.F_rowID, r.F_action, r.F_before, r.F_after "
    "from cfg_changerow r join cfg_changeset s on s.F_ID = r.F_set ");

QJsonObject parsed(const QVariant &text)
{
    return QJsonDocument::fromJson(text.toString().toUtf8()).object();
}

Change changeOf(const QSqlQuery &q)
{
    Change c;
    c.id = q.value(0).toLongLong();
    c.changeSet = q.value(1).toLongLong();
    c.stamp = q.value(2).toString();
    c.operatorName = q.value(3).toString();
    c.station = q.value(4).toString();
    c.kind = q.value(5).toString();
    c.summary = q.value(6).toString();
    c.table = q.value(7).toString();
    c.rowId = q.value(8).toLongLong();
    c.action = Action(q.value(9).toInt());
    c.before = parsed(q.value(10));
    c.after = parsed(q.value(11));
    return c;
}

std::optional<QList<Change>> changes(QSqlDatabase db, const QString &where,
                                     const QVariantList &values, QString *error)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    bool ok = q.prepare(kChangeColumns + where);
    for (const QVariant &v : values)
        q.addBindValue(v);
    if (!ok || !q.exec()) {
        *error = q.lastError().text();
        return std::nullopt;
    }
    QList<Change> list;
    while (q.next())
        list << changeOf(q);
    return list;
}

QString tableName(const QString &table)
{
    const Schema::Table *t = Schema::table(table);
    return t ? QString::fromLatin1(t->name) : table;
}

} // namespace

bool isJournaled(const QString &table)
{
    static const QSet<QString> tables = {QStringLiteral("goodmain"),   QStringLiteral("t_imagerec"),
                                         QStringLiteral("t_goods"),    QStringLiteral("t_client"),
                                         QStringLiteral("t_suppler"),  QStringLiteral("t_code"),
                                         QStringLiteral("t_treecode"), QStringLiteral("operlist")};
    return tables.contains(table.toLower());
}

bool isSecret(const QString &table, const QString &column)
{
    return table.compare(u"OperList", Qt::CaseInsensitive) == 0 &&
           column.compare(u"F_PassWord", Qt::CaseInsensitive) == 0;
}

QJsonValue encode(const QString &table, const QString &column, const QVariant &value)
{
    const Schema::Column *c = Schema::column(table, column);
    const ColumnType type = c ? c->type : ColumnType::Memo;
    switch (type) {
    case ColumnType::Key:
    case ColumnType::Integer:
        return value.isNull() ? QJsonValue() : QJsonValue(value.toLongLong());
    case ColumnType::Float:
        return value.isNull() ? QJsonValue() : QJsonValue(value.toDouble());
    case ColumnType::Bool:
        return value.toBool();
    case ColumnType::Date: {
        const QDate date = value.typeId() == QMetaType::QString
                               ? QDate::fromString(value.toString().left(10), Qt::ISODate)
                               : value.toDate();
        return date.isValid() ? QJsonValue(date.toString(Qt::ISODate)) : QJsonValue();
    }
    case ColumnType::Text:
    case ColumnType::Memo:
        return value.toString();
    }
    return value.toString();
}

QVariant decode(const QString &table, const QString &column, const QJsonValue &value)
{
    const Schema::Column *c = Schema::column(table, column);
    switch (c ? c->type : ColumnType::Memo) {
    case ColumnType::Key:
    case ColumnType::Integer:
        return value.isNull() ? QVariant(QMetaType::fromType<qint64>())
                              : QVariant(qint64(value.toDouble()));
    case ColumnType::Float:
        return value.isNull() ? QVariant(QMetaType::fromType<double>()) : value.toDouble();
    case ColumnType::Bool:
        return value.toBool();
    case ColumnType::Date:
        return value.isNull() ? QVariant(QMetaType::fromType<QDate>())
                              : QVariant(QDate::fromString(value.toString(), Qt::ISODate));
    case ColumnType::Text:
    case ColumnType::Memo:
        return value.toString();
    }
    return value.toString();
}

QJsonObject image(const QString &table, const QVariantMap &row)
{
    QJsonObject encoded;
    for (auto it = row.begin(); it != row.end(); ++it) {
        if (!isSecret(table, it.key()))
            encoded.insert(it.key(), encode(table, it.key(), it.value()));
    }
    return encoded;
}

QVariantMap decoded(const QString &table, const QJsonObject &image)
{
    QVariantMap row;
    for (auto it = image.begin(); it != image.end(); ++it)
        row.insert(it.key(), decode(table, it.key(), it.value()));
    return row;
}

std::optional<QList<Change>> historyOf(QSqlDatabase db, const QString &table, qint64 rowId,
                                       QString *error)
{
    return changes(db,
                   QStringLiteral("where r.F_tablename = ? and r.F_rowID = ? order by r.F_ID desc"),
                   {tableName(table), rowId}, error);
}

QVariantMap versionAfter(const QVariantMap &current, const QList<Change> &history, qint64 changeId)
{
    if (history.isEmpty())
        return current;
    const QString table = history.first().table;
    QJsonObject row = image(table, current);
    for (const Change &c : history) {
        if (c.id <= changeId)
            break;
        for (auto it = c.before.begin(); it != c.before.end(); ++it)
            row.insert(it.key(), it.value());
    }
    return decoded(table, row);
}

std::optional<QList<Change>> deletedRows(QSqlDatabase db, const QString &table, QString *error)
{
    const QString name = tableName(table);
    const std::optional<QList<Change>> all =
        changes(db,
                QStringLiteral("where r.F_tablename = ? and r.F_action = ? and not exists "
                               "(select 1 from %1 t where t.F_ID = r.F_rowID) order by r.F_ID desc")
                    .arg(name),
                {name, int(Action::Delete)}, error);
    if (!all)
        return std::nullopt;
    // A row deleted, brought back and deleted again is listed once, as last deleted.
    QList<Change> latest;
    QSet<qint64> seen;
    for (const Change &c : *all) {
        if (!seen.contains(c.rowId)) {
            seen.insert(c.rowId);
            latest << c;
        }
    }
    return latest;
}

std::optional<QList<Change>> deletedWith(QSqlDatabase db, qint64 changeSet, const QString &table,
                                         const QString &column, const QVariant &value,
                                         QString *error)
{
    const QString name = tableName(table);
    std::optional<QList<Change>> rows =
        changes(db,
                QStringLiteral(
                    "where r.F_set = ? and r.F_tablename = ? and r.F_action = ? order by r.F_ID"),
                {changeSet, name, int(Action::Delete)}, error);
    if (!rows)
        return std::nullopt;
    const QJsonValue wanted = encode(name, column, value);
    rows->removeIf([&](const Change &c) { return c.before.value(column) != wanted; });
    return rows;
}

std::optional<QList<Change>> rowsOf(QSqlDatabase db, qint64 changeSet, QString *error)
{
    return changes(db, QStringLiteral("where r.F_set = ? order by r.F_ID"), {changeSet}, error);
}

std::optional<Change> latestChange(QSqlDatabase db, const QString &table, qint64 rowId,
                                   QString *error)
{
    std::optional<QList<Change>> list =
        changes(db,
                QStringLiteral("where r.F_ID = (select max(F_ID) from cfg_changerow where "
                               "F_tablename = ? and F_rowID = ?)"),
                {tableName(table), rowId}, error);
    if (!list)
        return std::nullopt;
    return list->isEmpty() ? Change{} : list->first();
}

} // namespace Journal
