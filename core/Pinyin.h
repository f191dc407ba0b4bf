#pragma once

#include <QString>
#include <QStringList>
#include <QVariantList>
#include <vector>

// Stored pinyin keys of the Chinese names that lists search and sort by, so that `zc` finds 轴承
// and a title click orders names as Chinese readers expect.
//
// A key is one text: a mark of what the name starts with (digits, then Latin, then Chinese
// sort in that order), the full pinyin without tones or spaces, then, after a space each, the
// initials (several where characters have several common readings, such as 重, 长, 行). Latin
// letters (lower-cased) and digits stand for themselves; everything else is left out. A name
// with neither has an empty key.
namespace Pinyin {

QString key(const QString &name);

// What a search for `typed` looks for in the keys: the text lower-cased without spaces when it
// is Latin letters and digits (at least one letter), else empty: the keys do not serve it.
QString keyTerm(const QString &typed);

// Whether `name` holds `typed` (letter case aside) or, for a Latin `typed`, its key holds it:
// the find of short lists kept in memory, such as the type trees.
bool matches(const QString &name, const QString &typed);

// A name column that has a key, and the column that holds the key.
struct KeyedColumn
{
    const char *table;
    const char *column;
    const char *keyColumn;
};
const std::vector<KeyedColumn> &keyedColumns();

// The column holding the key of `table`.`column`; empty when it has none.
QString keyColumn(const QString &table, const QString &column);

// For a write of `columns` with `values` into `table`: appends the key column and key of each
// keyed name column written.
void addKeys(const QString &table, QStringList *columns, QVariantList *values);

} // namespace Pinyin
