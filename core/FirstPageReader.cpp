#include "core/FirstPageReader.h"

FirstPageReader::FirstPageReader(ListQuery query, const SqlDialect &dialect, int limit)
    : m_query(std::move(query)), m_dialect(dialect), m_limit(limit)
{
}

bool FirstPageReader::read(const Run &run, QStringList *fields, QVariantList *rows, QString *error)
{
    rows->clear();
    int walked = 0;
    for (const int to : {kSampleKeys, 4 * kSampleKeys, kWindowKeys}) {
        const int needed = m_limit - int(rows->size());
        const PageStatement walk = keysBetween(walked, to, needed);
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
        if (rows->size() >= m_limit) {
            m_way = Way::Walked;
            return true;
        }
        // At this stretch's rate the rest of the window would not fill the page: the index
        // finds the term quicker.
        const bool promising = qint64(more.size()) * (kWindowKeys - to) >=
                               qint64(needed - more.size()) * (to - walked);
        walked = to;
        if (!promising)
            break;
    }
    rows->clear();
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
