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
    // addLike(); where `column` has a pinyin key and `text` is Latin letters and digits, a
    // contains search also takes the rows whose key contains the text (zc: 轴承).
    void addNameLike(const QString &column, const QString &text, Match match);
    // (a like … or b like … ): any of the columns matches.
    void addLikeAny(const QStringList &columns, const QString &text, Match match);

    // `column` between `from` and `to`, both included; an invalid date is an open bound, which
    // stands for kOpenStart or kOpenEnd as every stored range always has.
    void addDateRange(const QString &column, const QDate &from, const QDate &to);

    // "where (1=1) and … " — always starts with the neutral clause, like every list statement.
    QString where() const { return whereOf(m_pieces); }
    const QVariantList &values() const { return m_values; }
    bool isEmpty() const { return m_pieces.isEmpty(); }

    // The same filter without the conditions that let search indexes narrow the likes: the
    // same rows, as a plain scan finds them.
    QString plainWhere() const { return whereOf(m_plainPieces); }
    const QVariantList &plainValues() const { return m_plainValues; }

private:
    struct Piece
    {
        QString sql;
        QVariantList values;
    };

    static QString whereOf(const QStringList &pieces);
    void add(const Piece &narrowed, const Piece &plain);
    QString likePiece(const QString &column) const;
    // The like pieces of `column`: with the index's narrowing where one serves it, and without.
    void likePieces(const QString &column, const QString &text, Match match, Piece *narrowed,
                    Piece *plain) const;

    SqlDialect m_dialect;
    QString m_table;
    QStringList m_pieces;
    QVariantList m_values;
    QStringList m_plainPieces;
    QVariantList m_plainValues;
};
