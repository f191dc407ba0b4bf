#include "core/SqlFilter.h"

#include "core/Pinyin.h"
#include "core/SearchIndex.h"

void SqlFilter::add(const QString &piece, const QVariantList &values)
{
    add({piece, values}, {piece, values});
}

void SqlFilter::add(const Piece &narrowed, const Piece &plain)
{
    m_pieces << narrowed.sql;
    m_values << narrowed.values;
    m_plainPieces << plain.sql;
    m_plainValues << plain.values;
}

QString SqlFilter::likePiece(const QString &column) const
{
    return column + u' ' + m_dialect.likeOperator() + QStringLiteral(" ?") +
           m_dialect.likeEscapeClause();
}

void SqlFilter::likePieces(const QString &column, const QString &text, Match match, Piece *narrowed,
                           Piece *plain) const
{
    const SearchIndex::Narrowing narrowing =
        SearchIndex::narrowing(m_dialect, m_table, column, text, match);
    *plain = {likePiece(column), {m_dialect.likePattern(text, match == Match::Contains)}};
    *narrowed = *plain;
    if (narrowing.piece.isEmpty())
        return;
    narrowed->sql = u'(' + plain->sql + QStringLiteral(" and ") + narrowing.piece + u')';
    narrowed->values << narrowing.values;
}

void SqlFilter::addLike(const QString &column, const QString &text, Match match)
{
    Piece narrowed;
    Piece plain;
    likePieces(column, text, match, &narrowed, &plain);
    add(narrowed, plain);
}

void SqlFilter::addNameLike(const QString &column, const QString &text, Match match)
{
    const QString keyColumn =
        match == Match::Contains ? Pinyin::keyColumn(m_table, column) : QString();
    const QString term = keyColumn.isEmpty() ? QString() : Pinyin::keyTerm(text);
    if (term.isEmpty()) {
        addLike(column, text, match);
        return;
    }
    const Piece plain{u'(' + likePiece(column) + QStringLiteral(" or ") + likePiece(keyColumn) +
                          u')',
                      {m_dialect.likePattern(text, true), m_dialect.likePattern(term, true)}};
    const SearchIndex::Narrowing both =
        SearchIndex::eitherNarrowing(m_dialect, m_table, column, text, keyColumn, term);
    if (both.piece.isEmpty())
        add(plain, plain);
    else
        add({u'(' + plain.sql + QStringLiteral(" and ") + both.piece + u')',
             plain.values + both.values},
            plain);
}

void SqlFilter::addLikeAny(const QStringList &columns, const QString &text, Match match)
{
    QStringList narrowedAlternatives;
    QStringList plainAlternatives;
    Piece narrowed;
    Piece plain;
    for (const QString &column : columns) {
        Piece n;
        Piece p;
        likePieces(column, text, match, &n, &p);
        narrowedAlternatives << n.sql;
        narrowed.values << n.values;
        plainAlternatives << p.sql;
        plain.values << p.values;
    }
    narrowed.sql = u'(' + narrowedAlternatives.join(QStringLiteral(" or ")) + u')';
    plain.sql = u'(' + plainAlternatives.join(QStringLiteral(" or ")) + u')';
    add(narrowed, plain);
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

QString SqlFilter::whereOf(const QStringList &pieces)
{
    QString sql = QStringLiteral("where (1=1) ");
    for (const QString &piece : pieces)
        sql += QStringLiteral("and ") + piece + u' ';
    return sql;
}
