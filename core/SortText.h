#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// Sort texts as the sort dialog and the title clicks produce them ("f_goodcode ASC,f_spec DESC,")
// and the order clause a list may safely run from one.
namespace SortText {

// The arrow a grid column title shows.
enum class Marker { None, Up, Down };

struct TitleSort
{
    Marker marker;
    // Empty: leave the list's order as it is.
    QString sortText;
};

// A click on the title of `field`: none or down becomes up, up becomes down; the sort is that
// one column. With `keepMemoOrder` (the main list) a field whose name contains "mem" only
// changes its arrow.
TitleSort titleClick(const QString &field, Marker current, bool keepMemoOrder);

// "order by a ASC, b DESC" for the keys of `sortText` that name one of `fields` (matched
// without regard to case, spelled as in `fields`) with no direction, ASC or DESC; every
// other key is dropped. Empty when no key is left. A name column whose pinyin key is among
// `fields` sorts by the key, then by the name.
QString orderBy(const QString &sortText, const QStringList &fields);
// The same for (field name, title caption) pairs, as the sort dialog is given them.
QString orderBy(const QString &sortText, const QList<QPair<QString, QString>> &columns);

} // namespace SortText
