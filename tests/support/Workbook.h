#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QVariant>

// A workbook as a spreadsheet program reads it back (openpyxl, through the Python of the
// system), for tests that check what a user would see.
struct Workbook
{
    struct Cell
    {
        QString type;   // s text, n number, d date, f formula, b yes/no
        QVariant value; // dates as "yyyy-MM-dd"
        QString format; // number format, "General" when none
    };

    struct Sheet
    {
        QString name;
        QHash<QPair<int, int>, Cell> cells; // (row, column), both from 1
        int rows = 0;                       // the last row that holds something

        Cell cell(int row, int column) const { return cells.value({row, column}); }
        // The texts of a row's cells from column 1 to `columns`, empty where nothing is.
        QStringList row(int row, int columns) const;
        // Column `column` of rows 2 … (the data under the titles).
        QStringList column(int column) const;
    };

    // Empty, with the reader's complaint in `error`, when the file cannot be read.
    static Workbook read(const QString &file, QString *error);

    QList<Sheet> sheets;
};
