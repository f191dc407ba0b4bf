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

QString SqlFilter::narrowedLikePiece(const QString &column, const QString &text, Match match,
                                     QVariantList *values) const
{
    const SearchIndex::Narrowing narrowing =
        SearchIndex::narrowing(m_dialect, m_table, column, text, match);
    *values << m_dialect.likePattern(text, match == Match::Contains) << narrowing.values;
    if (narrowing.piece.isEmpty())
        return likePiece(column);
    return u'(' + likePiece(column) + QStringLiteral(" and ") + narrowing.piece + u')';
}

void SqlFilter::addLike(const QString &column, const QString &text, Match match)
{
    QVariantList values;
    const QString piece = narrowedLikePiece(column, text, match, &values);
    add(piece, values);
}

void SqlFilter::addLikeAny(const QStringList &columns, const QString &text, Match match)
{
    QStringList alternatives;
    QVariantList values;
    for (const QString &column : columns)
        alternatives << narrowedLikePiece(column, text, match, &values);
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
