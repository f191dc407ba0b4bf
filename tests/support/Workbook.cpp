#include "support/Workbook.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

QStringList Workbook::Sheet::row(int row, int columns) const
{
    QStringList texts;
    for (int column = 1; column <= columns; ++column)
        texts << cell(row, column).value.toString();
    return texts;
}

QStringList Workbook::Sheet::column(int column) const
{
    QStringList texts;
    for (int row = 2; row <= rows; ++row)
        texts << cell(row, column).value.toString();
    return texts;
}

Workbook Workbook::read(const QString &file, QString *error)
{
    QProcess python;
    python.start(QStringLiteral(QUORIN_TEST_PYTHON),
                 {QStringLiteral(QUORIN_READ_WORKBOOK_SCRIPT), file});
    if (!python.waitForFinished(60000) || python.exitCode() != 0) {
        *error = QString::fromUtf8(python.readAllStandardError()) + python.errorString();
        return {};
    }
    Workbook workbook;
    const QJsonObject root = QJsonDocument::fromJson(python.readAllStandardOutput()).object();
    for (const QJsonValue &s : root.value(QStringLiteral("sheets")).toArray()) {
        Sheet sheet;
        sheet.name = s[QStringLiteral("name")].toString();
        for (const QJsonValue &c : s[QStringLiteral("cells")].toArray()) {
            const QJsonArray a = c.toArray();
            const int row = a[0].toInt();
            sheet.cells.insert({row, a[1].toInt()},
                               {a[2].toString(), a[3].toVariant(), a[4].toString()});
            sheet.rows = std::max(sheet.rows, row);
        }
        workbook.sheets << sheet;
    }
    return workbook;
}
