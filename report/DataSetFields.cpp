#include "report/DataSetFields.h"

#include "core/Schema.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace Report {

namespace {

// A server gives names in lower case; they are shown as the schema spells them.
QString spelled(const QString &field)
{
    static const QHash<QString, QString> spellings = [] {
        QHash<QString, QString> names;
        for (const Schema::Table &table : Schema::tables()) {
            for (const Schema::Column &column : table.columns) {
                const QString name = QLatin1String(column.name);
                if (!names.contains(name.toLower()))
                    names.insert(name.toLower(), name);
            }
        }
        return names;
    }();
    return spellings.value(field.toLower(), field);
}

} // namespace

bool fieldsOf(const Statement &statement, const QSqlDatabase &db, QStringList *fields,
              QString *error)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    // Neither engine gives a statement's columns before it runs; run it to no rows.
    if (!query.prepare(QStringLiteral("select * from (") + statement.sql +
                       QStringLiteral(") fields_of where 1 = 0"))) {
        *error = query.lastError().text();
        return false;
    }
    for (const QVariant &v : statement.values)
        query.addBindValue(v);
    for (qsizetype i = 0; i < statement.masterFields.size(); ++i)
        query.addBindValue(QVariant());
    if (!query.exec()) {
        *error = query.lastError().text();
        return false;
    }
    const QSqlRecord record = query.record();
    fields->clear();
    for (int i = 0; i < record.count(); ++i)
        fields->append(spelled(record.fieldName(i)));
    return true;
}

} // namespace Report
