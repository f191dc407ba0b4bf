#pragma once

#include "input/ImportPreview.h"

#include <QHash>
#include <QString>
#include <vector>

class QSqlDatabase;

// Which rows of an import are new, which hold a code the register has already, and which
// repeat a code of an earlier row of the workbook: the one place an import tells them apart.
// Codes compare as the register editor compares them, trimmed and without regard to case; an
// empty code is no code and never matches.
namespace ImportCodes {

// What an import does with a row whose code the register holds already.
enum class Duplicates { Skip, Update };

enum class Fate {
    Add,
    Update,   // the register's row of that code takes the mapped values
    Existing, // skipped: the register holds the code
    Repeat,   // skipped: an earlier row of the workbook holds the code
};

// The form in which two codes that are one code are equal.
QString key(const QString &code);

// The preview's field that holds the code, or -1 when the code is not imported.
int codeField(const ImportPreview &preview);

// The register's codes (by key) and the oldest row holding each, read in one statement.
bool readCodes(const QSqlDatabase &db, const QString &table, QHash<QString, qint64> *codes,
               QString *error);

// The fate of every row of `preview` in order: the first row of a code wins, later ones repeat.
std::vector<Fate> plan(const ImportPreview &preview, const QHash<QString, qint64> &codes,
                       Duplicates duplicates);

} // namespace ImportCodes
