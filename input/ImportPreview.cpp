#include "input/ImportPreview.h"

#include "core/Schema.h"

#include <QDate>
#include <QLocale>
#include <QSqlError>
#include <QSqlQuery>

bool loadImportFields(const QSqlDatabase &db, const QString &table, QList<ImportField> *fields,
                      QString *error)
{
    fields->clear();
    QSqlQuery q(db);
    q.prepare(QStringLiteral("select S_Field, F_FieldName, F_field from cfg_import "
                             "where F_tablename = ? and F_iFlag = 1 order by F_ID"));
    q.addBindValue(table);
    if (!q.exec()) {
        *error = q.lastError().text();
        return false;
    }
    while (q.next())
        fields->append({q.value(0).toString().trimmed(), q.value(1).toString(),
                        q.value(2).toString().trimmed()});
    return true;
}

QString checkImportValue(const QString &table, const QString &field, const QString &text)
{
    const Schema::Column *column = Schema::column(table, field);
    if (!column)
        return QStringLiteral("资料表中没有字段 %1").arg(field);
    return checkImportValue(*column, text);
}

QString checkImportValue(const Schema::Column &c, const QString &text)
{
    const Schema::Column *column = &c;
    if (column->type == Schema::ColumnType::Text)
        return text.size() <= column->width
                   ? QString()
                   : QStringLiteral("内容有 %1 个字符，超过了该字段的 %2 个字符")
                         .arg(text.size())
                         .arg(column->width);
    const QString trimmed = text.trimmed();
    switch (column->type) {
    case Schema::ColumnType::Key:
        return QStringLiteral("编号由系统生成，不能导入");
    case Schema::ColumnType::PinyinKey:
        return QStringLiteral("拼音由名称生成，不能导入");
    case Schema::ColumnType::Text:
        if (text.size() > column->width)
            return QStringLiteral("内容有 %1 个字符，超过了该字段的 %2 个字符")
                .arg(text.size())
                .arg(column->width);
        return {};
    case Schema::ColumnType::Memo:
    // No register an import fills holds bytes.
    case Schema::ColumnType::Blob:
        return {};
    case Schema::ColumnType::Integer:
    case Schema::ColumnType::Float: {
        bool ok = trimmed.isEmpty();
        const double value = ok ? 0 : QLocale::c().toDouble(trimmed, &ok);
        if (ok && column->type == Schema::ColumnType::Integer &&
            (value != qint64(value) || qAbs(value) > 2147483647.0))
            ok = false;
        return ok ? QString() : QStringLiteral("“%1”不是数字").arg(text);
    }
    case Schema::ColumnType::Date:
        return trimmed.isEmpty() || QDate::fromString(trimmed, u"yyyy-MM-dd").isValid()
                   ? QString()
                   : QStringLiteral("“%1”不是 yyyy-MM-dd 形式的日期").arg(text);
    case Schema::ColumnType::Bool: {
        static const QStringList accepted = {QString(),
                                             QStringLiteral("0"),
                                             QStringLiteral("1"),
                                             QStringLiteral("true"),
                                             QStringLiteral("false"),
                                             QStringLiteral("是"),
                                             QStringLiteral("否")};
        return accepted.contains(trimmed.toLower()) ? QString()
                                                    : QStringLiteral("“%1”不是是/否").arg(text);
    }
    }
    return {};
}

QString PreviewFault::message() const
{
    return QStringLiteral("字段“%1”出错，导入失败！\n工作表第 %2 行：%3")
        .arg(sheetColumn)
        .arg(sheetRow)
        .arg(reason);
}

bool ImportPreview::build(const SheetTable &sheet, const QString &table,
                          const QList<ImportField> &mapping, PreviewFault *fault,
                          const std::function<void(int row)> &progress)
{
    fields = mapping;
    rows.clear();
    sheetRows.clear();
    // Each mapped field's sheet column and register column, found once.
    struct Source
    {
        int field;
        int column;
        const Schema::Column *target;
    };
    std::vector<Source> sources;
    for (int f = 0; f < mapping.size(); ++f) {
        const ImportField &m = mapping.at(f);
        if (m.sheetColumn.isEmpty())
            continue;
        const int column = sheet.columnOf(m.sheetColumn);
        if (column < 0 || !Schema::column(table, m.field)) {
            *fault = {m.sheetColumn, 1,
                      column < 0 ? QStringLiteral("工作表中没有这一列")
                                 : checkImportValue(table, m.field, {})};
            return false;
        }
        sources.push_back({f, column, Schema::column(table, m.field)});
    }
    if (sources.empty())
        return true;
    rows.reserve(sheet.rows.size());
    sheetRows.reserve(sheet.rows.size());
    for (size_t r = 0; r < sheet.rows.size(); ++r) {
        if (progress && r % 1000 == 0)
            progress(int(r));
        const QStringList &cells = sheet.rows[r];
        QStringList values(mapping.size());
        for (const Source &s : sources) {
            const QString &text = cells.at(s.column);
            const QString reason = checkImportValue(*s.target, text);
            if (!reason.isEmpty()) {
                *fault = {mapping.at(s.field).sheetColumn, int(r) + 2, reason};
                return false;
            }
            values[s.field] = text;
        }
        rows.push_back(std::move(values));
        sheetRows.push_back(int(r) + 2);
    }
    return true;
}
