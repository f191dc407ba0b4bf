#include "core/SqlFilter.h"

#include "core/SearchIndex.h"

void SqlFilter::add(const QString &piece, const QVariantList &values)
{
    m_pieces << piece;
    m_values << values;
}

QString SqlFilter::likePiece(const QString &column) const
{
    return column + u' ' + m_dialect.likeOperator() + QStringLiteral(" ?") +
           m_dialect.likeEscapeClause();
}

void SqlFilter::addLike(const QString &column, const QString &text, Match match)
{
    const QString pattern = m_dialect.likePattern(text, match == Match::Contains);
    // Texts of two or more characters can be narrowed by the index of character pairs.
    if (match == Match::Contains && text.toUcs4().size() >= 2 &&
        SearchIndex::covers(m_dialect, m_table, column)) {
        add(u'(' + likePiece(column) + QStringLiteral(" and ") +
                SearchIndex::narrowingPiece(m_table, column) + u')',
            {pattern, SearchIndex::matchValue(column, text)});
        return;
    }
    add(likePiece(column), {pattern});
}

void SqlFilter::addLikeAny(const QStringList &columns, const QString &text, Match match)
{
    QStringList alternatives;
    QVariantList values;
    const QString pattern = m_dialect.likePattern(text, match == Match::Contains);
    for (const QString &column : columns) {
        alternatives << likePiece(column);
        values << pattern;
    }
    add(u'(' + alternatives.join(QStringLiteral(" or ")) + u')', values);
}

void SqlFilter::addDateRange(const QString &column, const QDate &from, const QDate &to)
{
    const auto bound = [&](const char *op, const QDate &date) {
        const QString condition = column + QLatin1String(op) + u'?';
        return date.isValid() ? condition : m_dialect.nearlyAlways(condition);
    };
    add(u'(' + bound(" >= ", from) + QStringLiteral(" and ") + bound(" <= ", to) + u')',
        {from.isValid() ? from : kOpenStart, to.isValid() ? to : kOpenEnd});
}

QString SqlFilter::where() const
{
    QString sql = QStringLiteral("where (1=1) ");
    for (const QString &piece : m_pieces)
        sql += QStringLiteral("and ") + piece + u' ';
    return sql;
}
