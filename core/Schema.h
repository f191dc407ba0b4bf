#pragma once

#include "core/SqlDialect.h"
#include "core/Work.h"

#include <QString>
#include <QStringList>
#include <vector>

class QSqlDatabase;

// Every table and column of the sample database, as data: the DDL for both engines, the
// widths that editors give their text boxes and the types that seed rows convert to all
// come from here.
namespace Schema {

// PinyinKey: a name's pinyin key (Pinyin::key), compared byte by byte on either engine.
enum class ColumnType { Key, Integer, Text, Memo, Float, Date, Bool, PinyinKey, Blob };

struct Column
{
    const char *name;
    ColumnType type;
    int width = 0; // characters, for Text
    int since = 1; // the schema version that added it
};

struct Index
{
    const char *name;
    const char *columns;
    bool unique = false;
    int since = 1; // the schema version that added it
};

struct Table
{
    const char *name;
    std::vector<Column> columns;
    std::vector<Index> indexes = {};
    int since = 1; // the schema version that added it
};

inline constexpr int kVersion = 10;

const std::vector<Table> &tables();

// The tables of schema `version`, each with the columns it had then: what a backup of that
// version holds.
std::vector<Table> tablesOf(int version);

// Names are matched without regard to case, as every statement of the program may spell them.
const Table *table(const QString &name);
const Column *column(const QString &table, const QString &column);

// Width of a text column, 0 when the column is not text or unknown.
int width(const QString &table, const QString &column);

QStringList createStatements(const SqlDialect &dialect);
// The same in two steps, for bulk loads that index the rows once they are in; the tables and
// indexes of an older `version` for loading a backup of that version before it is upgraded.
QStringList tableStatements(const SqlDialect &dialect, int version = kVersion);
QStringList indexStatements(int version = kVersion);

enum class State { Empty, Current, Older, Foreign, Newer, Damaged };

// What a database holds: nothing yet, our schema (this or an older version), someone else's
// tables, a newer schema.
State inspect(const QSqlDatabase &db, int *version, QString *error);

// Creates the schema and its required rows in an empty database, upgrades an older one, and
// refuses a database that is not ours or is newer than this program. `progress` hears how far
// an upgrade that rewrites every row has come, and may stop it (nothing changes then).
bool ensure(QSqlDatabase &db, const SqlDialect &dialect, QString *error,
            const WorkProgress &progress = {});

} // namespace Schema
