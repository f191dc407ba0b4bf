#include "core/SqlFilter.h"

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
    add(likePiece(column), {m_dialect.likePattern(text, match == Match::Contains)});
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

QString SqlFilter::where() const
{
    QString sql = QStringLiteral("where (1=1) ");
    for (const QString &piece : m_pieces)
        sql += QStringLiteral("and ") + piece + u' ';
    return sql;
}
