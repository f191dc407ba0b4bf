#include "core/FirstPageReader.h"

FirstPageReader::FirstPageReader(ListQuery query, const SqlDialect &dialect, int limit)
    : m_query(std::move(query)), m_dialect(dialect), m_limit(limit)
{
}

bool FirstPageReader::read(const Run &run, QStringList *fields, QVariantList *rows, QString *error)
{
    rows->clear();
    int walked = 0;
    for (const int keys : {kSampleKeys, kWindowKeys}) {
        const PageStatement walk = keysBetween(walked, keys, m_limit - int(rows->size()));
        if (walk.sql.isEmpty())
            break;
        QVariantList more;
        if (!run(walk, fields, &more, error)) {
            if (error->isEmpty())
                return false; // voided
            // A walk that failed leaves the answer to the statement.
            error->clear();
            break;
        }
        *rows << more;
        walked = keys;
        if (rows->size() >= m_limit) {
            m_way = Way::Walked;
            return true;
        }
        // The window would not hold a page at this rate: the index finds the term quicker.
        if (qint64(rows->size()) * kWindowKeys < qint64(m_limit) * walked)
            break;
    }
    m_way = walked == 0 ? Way::Statement : walked < kWindowKeys ? Way::Sampled : Way::Fallen;
    return run(m_query.page({}, m_limit, m_dialect), fields, rows, error);
}

PageStatement FirstPageReader::keysBetween(int from, int to, int limit) const
{
    const PlainScan &plain = m_query.plainScan;
    const QString &key = m_query.keyColumn;
    if (plain.isEmpty() || key.isEmpty() || !m_query.orderBy.trimmed().isEmpty())
        return {};
    // SQLite would walk a "starts with" index and sort every match; the key's order stops at
    // the first page.
    const QString table = m_dialect.engine() == Engine::SQLite
                              ? plain.table + QStringLiteral(" not indexed")
                              : plain.table;
    const QString first = QStringLiteral("(select min(%1) from %2)").arg(key, plain.table);
    PageStatement page;
    page.sql = QStringLiteral("select * from %1 %2and %3 >= %4 + ? and %3 < %4 + ? "
                              "order by %3 limit ?")
                   .arg(table, plain.where, key, first);
    page.values = plain.values;
    page.values << from << to << limit;
    return page;
}
