#pragma once

#include "core/SqlDialect.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariantList>

// A filter chain "where (1=1) and … " whose typed values are bound, never pasted in.
// Pieces use `?` placeholders; values() lists their values in order.
class SqlFilter
{
public:
    static inline const QDate kOpenStart{1900, 8, 14};
    static inline const QDate kOpenEnd{3000, 8, 14};

    enum class Match { StartsWith, Contains };

    // `table` names the table the pieces filter, so searches can use its indexes.
    explicit SqlFilter(const SqlDialect &dialect, const QString &table = {})
        : m_dialect(dialect), m_table(table)
    {
    }

    // A piece of SQL such as "F_editDate >= ?" with the values of its placeholders.
    void add(const QString &piece, const QVariantList &values = {});
    // column like <text as pattern>: `%`, `_` and the escape character typed by a user are
    // searched for literally, without regard to case.
    void addLike(const QString &column, const QString &text, Match match);
    // (a like … or b like … ): any of the columns matches.
    void addLikeAny(const QStringList &columns, const QString &text, Match match);

    // `column` between `from` and `to`, both included; an invalid date is an open bound, which
    // stands for kOpenStart or kOpenEnd as every stored range always has.
    void addDateRange(const QString &column, const QDate &from, const QDate &to);

    // "where (1=1) and … " — always starts with the neutral clause, like every list statement.
    QString where() const;
    const QVariantList &values() const { return m_values; }
    bool isEmpty() const { return m_pieces.isEmpty(); }

private:
    QString likePiece(const QString &column) const;
    // The like piece of `column`, with the index's narrowing where one serves it; its values
    // are appended to `values`.
    QString narrowedLikePiece(const QString &column, const QString &text, Match match,
                              QVariantList *values) const;

    SqlDialect m_dialect;
    QString m_table;
    QStringList m_pieces;
    QVariantList m_values;
};
