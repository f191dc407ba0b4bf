#include "input/ImportCodes.h"

#include <QSet>
#include <QSqlError>
#include <QSqlQuery>

namespace ImportCodes {

QString key(const QString &code)
{
    return code.trimmed().toLower();
}

int codeField(const ImportPreview &preview)
{
    // The first field of the column is the one stored, as for any column named twice.
    for (int f = 0; f < preview.fields.size(); ++f) {
        const ImportField &field = preview.fields.at(f);
        if (field.field.compare(u"F_Code", Qt::CaseInsensitive) == 0)
            return field.sheetColumn.isEmpty() ? -1 : f;
    }
    return -1;
}

bool readCodes(const QSqlDatabase &db, const QString &table, QHash<QString, qint64> *codes,
               QString *error)
{
    codes->clear();
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("select F_ID, F_Code from %1 order by F_ID").arg(table))) {
        *error = q.lastError().text();
        return false;
    }
    while (q.next()) {
        const QString k = key(q.value(1).toString());
        // The oldest row of a code held twice is the one an update changes.
        if (!k.isEmpty() && !codes->contains(k))
            codes->insert(k, q.value(0).toLongLong());
    }
    return true;
}

std::vector<Fate> plan(const ImportPreview &preview, const QHash<QString, qint64> &codes,
                       Duplicates duplicates)
{
    std::vector<Fate> fates(preview.rows.size(), Fate::Add);
    const int field = codeField(preview);
    if (field < 0)
        return fates;
    QSet<QString> seen;
    seen.reserve(qsizetype(preview.rows.size()));
    for (size_t r = 0; r < preview.rows.size(); ++r) {
        const QString k = key(preview.rows[r].at(field));
        if (k.isEmpty())
            continue;
        if (seen.contains(k))
            fates[r] = Fate::Repeat;
        else if (codes.contains(k))
            fates[r] = duplicates == Duplicates::Update ? Fate::Update : Fate::Existing;
        seen.insert(k);
    }
    return fates;
}

} // namespace ImportCodes
