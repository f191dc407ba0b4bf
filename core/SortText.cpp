#include "core/SortText.h"

#include "core/Pinyin.h"

#include <QRegularExpression>
#include <QSet>
#include <algorithm>

namespace SortText {

TitleSort titleClick(const QString &field, Marker current, bool keepMemoOrder)
{
    const Marker next = current == Marker::Up ? Marker::Down : Marker::Up;
    if (keepMemoOrder && field.toLower().contains(u"mem"))
        return {next, {}};
    return {next, field + (next == Marker::Up ? QStringLiteral(" ASC") : QStringLiteral(" DESC"))};
}

namespace {

// The pinyin key column of a name column of any table; empty for other columns.
QString pinyinKeyOf(const QString &field)
{
    for (const Pinyin::KeyedColumn &k : Pinyin::keyedColumns()) {
        if (field.compare(QLatin1String(k.column), Qt::CaseInsensitive) == 0)
            return QLatin1String(k.keyColumn);
    }
    return {};
}

} // namespace

QString orderBy(const QString &sortText, const QStringList &fields)
{
    // Only plain names reach the statement, even when a caller's column list is odd.
    static const QRegularExpression identifier(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    QStringList keys;
    QSet<QString> used;
    for (const QString &key : sortText.split(u',', Qt::SkipEmptyParts)) {
        const QStringList words = key.trimmed().split(blanks, Qt::SkipEmptyParts);
        if (words.isEmpty() || words.size() > 2)
            continue;
        QString direction = QStringLiteral("ASC");
        if (words.size() == 2) {
            direction = words[1].toUpper();
            if (direction != u"ASC" && direction != u"DESC")
                continue;
        }
        const auto field = std::find_if(fields.cbegin(), fields.cend(), [&](const QString &f) {
            return f.compare(words[0], Qt::CaseInsensitive) == 0;
        });
        if (field == fields.cend() || !identifier.match(*field).hasMatch())
            continue;
        // A name listed with its pinyin key sorts by the key first, then by the characters.
        const QString keyColumn = pinyinKeyOf(*field);
        const auto pinyinKey = std::find_if(fields.cbegin(), fields.cend(), [&](const QString &f) {
            return !keyColumn.isEmpty() && f.compare(keyColumn, Qt::CaseInsensitive) == 0;
        });
        if (pinyinKey != fields.cend() && !used.contains(pinyinKey->toLower())) {
            used.insert(pinyinKey->toLower());
            keys << *pinyinKey + u' ' + direction;
        }
        // A second key on the same column could never change the order.
        if (used.contains(field->toLower()))
            continue;
        used.insert(field->toLower());
        keys << *field + u' ' + direction;
    }
    if (keys.isEmpty())
        return {};
    return QStringLiteral("order by ") + keys.join(QStringLiteral(", "));
}

QString orderBy(const QString &sortText, const QList<QPair<QString, QString>> &columns)
{
    QStringList fields;
    for (const auto &column : columns)
        fields << column.first;
    return orderBy(sortText, fields);
}

} // namespace SortText
