#include "core/SchemaSeed.h"

#include "core/PassHash.h"
#include "core/Schema.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace SchemaSeed {

namespace {

const char *const kSeedTables[] = {"Limits", "t_code", "cfg_Grid", "cfg_import", "cfg_stat"};

QVariant typed(const QString &table, const QString &column, const QString &text)
{
    const Schema::Column *c = Schema::column(table, column);
    switch (c ? c->type : Schema::ColumnType::Text) {
    case Schema::ColumnType::Integer:
        return text.toInt();
    case Schema::ColumnType::Float:
        return text.toDouble();
    case Schema::ColumnType::Bool:
        return text == u"1";
    default:
        return text;
    }
}

// A seed file is tab-separated UTF-8: the first line names the columns.
bool insertSeedFile(QSqlDatabase &db, const QString &table, QString *error)
{
    QFile file(QStringLiteral(":/seed/%1.tsv").arg(table));
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("missing seed data for %1").arg(table);
        return false;
    }
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    if (lines.isEmpty())
        return true;
    const QStringList columns = lines.first().split(u'\t');
    for (const QString &c : columns) {
        if (!Schema::column(table, c)) {
            *error = QStringLiteral("seed data for %1 names an unknown column %2").arg(table, c);
            return false;
        }
    }
    QStringList marks;
    for (qsizetype i = 0; i < columns.size(); ++i)
        marks << QStringLiteral("?");
    QSqlQuery q(db);
    q.prepare(QStringLiteral("insert into %1(%2) values(%3)")
                  .arg(table, columns.join(u','), marks.join(u',')));
    for (qsizetype row = 1; row < lines.size(); ++row) {
        const QStringList fields = lines[row].split(u'\t');
        if (fields.size() != columns.size()) {
            *error = QStringLiteral("seed data for %1, line %2: %3 fields, expected %4")
                         .arg(table)
                         .arg(row + 1)
                         .arg(fields.size())
                         .arg(columns.size());
            return false;
        }
        for (qsizetype i = 0; i < fields.size(); ++i)
            q.bindValue(int(i), typed(table, columns[i], fields[i]));
        if (!q.exec()) {
            *error = q.lastError().text();
            return false;
        }
    }
    return true;
}

bool exec(QSqlDatabase &db, const QString &sql, const QVariantList &values, QString *error)
{
    QSqlQuery q(db);
    q.prepare(sql);
    for (const QVariant &v : values)
        q.addBindValue(v);
    if (q.exec())
        return true;
    *error = q.lastError().text();
    return false;
}

} // namespace

bool insertRequiredRows(QSqlDatabase &db, QString *error)
{
    const QString emptyPasswordHash = PassHash::hash(QString());
    if (emptyPasswordHash.isEmpty()) {
        *error = QStringLiteral("password hashing failed");
        return false;
    }
    if (!exec(db,
              QStringLiteral("insert into OperList(F_Name, F_PassWord, F_Mem, F_Flag, F_xtFlag) "
                             "values(?, ?, ?, ?, ?)"),
              {QStringLiteral("admin"), emptyPasswordHash, QStringLiteral("系统管理员"), false,
               false},
              error))
        return false;
    if (!exec(db, QStringLiteral("insert into SysInfo(F_Code) values(?)"), {QString()}, error))
        return false;
    for (const char *table : kSeedTables) {
        if (!insertSeedFile(db, QString::fromLatin1(table), error))
            return false;
    }
    return true;
}

} // namespace SchemaSeed
