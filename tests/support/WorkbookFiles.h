#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Workbooks made by the tests themselves, sound and hostile, for the readers' tests and the
// fuzzers' seeds: a zip written here (with parts that repeat a piece of text any number of times
// while staying small, and sizes it may lie about), the least .xlsx and .ods packages around a
// sheet's XML, and the clients workbook libxlsxwriter writes.
namespace WorkbookFiles {

// A text and how often it follows itself in a part.
struct Piece
{
    QByteArray text;
    qint64 times = 1;
};

struct Part
{
    QByteArray name;
    QList<Piece> pieces;
    bool stored = false;          // kept as it is instead of deflated (one piece, once)
    qint64 declaredInflated = -1; // the inflated size the directory states; -1: the true one
    qint64 declaredPacked = -1;   // the packed size the directory states; -1: the true one
};

QByteArray zip(const QList<Part> &parts);

// An .xlsx of one sheet "S" whose worksheet part is `sheet`, with `sharedStrings` when given.
QByteArray xlsx(const Part &sheet, const QByteArray &sharedStrings = {});
// The worksheet XML around `rows` (the <row> elements).
QByteArray worksheet(const QByteArray &rows);
// An .ods of one sheet "S" whose content part is `content`.
QByteArray ods(const Part &content);
// The content XML around `rows` (the <table:table-row> elements).
QByteArray odsContent(const QByteArray &rows);

// The clients workbook: a text code with leading zeros, numbers, dates under date formats, and
// a second sheet. `constantMemory` writes the strings into the cells themselves, as streaming
// writers (our export among them) do.
QString writeClientsXlsx(const QString &path, bool constantMemory);

QString write(const QString &path, const QByteArray &bytes);

} // namespace WorkbookFiles
