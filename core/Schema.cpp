#include "core/Schema.h"

#include "core/PinyinFill.h"
#include "core/SchemaSeed.h"
#include "core/SearchIndex.h"
#include "core/ServerSearchIndex.h"
#include "core/Transaction.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <functional>

namespace Schema {

namespace {

using T = ColumnType;

Column text(const char *name, int width)
{
    return {name, T::Text, width};
}

// Names are sorted and searched by pinyin through a key beside them (schema version 9). Their
// indexes hold the key alone: a server's index entry must stay within a few kilobytes, which a
// name written by another program may not.
Column pinyinKey(const char *name)
{
    return {name, T::PinyinKey, 0, 9};
}

std::vector<Table> buildTables()
{
    const Column key{"F_ID", T::Key};
    return {
        {"GoodMain",
         {key,
          {"F_cltID", T::Integer},
          text("F_code", 50),
          text("F_goodCode", 50),
          text("F_goodName", 255),
          text("F_TMcode", 50),
          text("F_BMjibie", 50),
          text("F_spec", 255),
          text("F_type", 255),
          text("F_pinPai", 50),
          text("F_yanSE", 50),
          text("F_caiLiao", 255),
          text("F_tiji", 50),
          text("F_baoZhuang", 255),
          text("F_depotPos", 255),
          text("F_huoJia", 255),
          {"F_amount", T::Float},
          text("F_unit", 50),
          text("F_other1", 255),
          text("F_other2", 255),
          text("F_other3", 255),
          text("F_other4", 255),
          text("F_Memo1", 50),
          {"F_CGdate", T::Date},
          text("F_CGsuppler", 255),
          text("F_CGunit", 50),
          {"F_CGprice", T::Float},
          text("F_CGtype", 50),
          {"F_XSdate", T::Date},
          text("F_XSclient", 255),
          text("F_XSunit1", 50),
          {"F_XSprice1", T::Float},
          text("F_XStype1", 50),
          text("F_XSunit2", 50),
          {"F_XSprice2", T::Float},
          text("F_XStype2", 50),
          {"F_Memo2", T::Memo},
          {"F_editDate", T::Date},
          text("F_EmpName", 50),
          {"F_useFlag", T::Bool},
          pinyinKey("F_goodNamePY"),
          pinyinKey("F_CGsupplerPY"),
          pinyinKey("F_XSclientPY")},
         {{"ix_goodmain_cltid", "F_cltID"},
          {"ix_goodmain_goodcode", "F_goodCode"},
          {"ix_goodmain_editdate", "F_editDate, F_ID"},
          {"ix_goodmain_goodnamepy", "F_goodNamePY", false, 9},
          {"ix_goodmain_cgsupplerpy", "F_CGsupplerPY", false, 9},
          {"ix_goodmain_xsclientpy", "F_XSclientPY", false, 9}}},
        {"T_ImageREC",
         {key,
          {"F_mainID", T::Integer},
          text("F_imagePath", 255),
          text("F_fileName", 255),
          text("F_fileExt", 20),
          // The SHA-256 of the picture's bytes where a server holds them (T_Picture).
          {"F_hash", T::Text, 64, 10}},
         {{"ix_imagerec_mainid", "F_mainID"}, {"ix_imagerec_hash", "F_hash", false, 10}}},
        {"T_goods",
         {key,
          text("F_Code", 50),
          text("F_Name", 255),
          text("F_spec", 255),
          text("F_Type", 255),
          text("F_pinPai", 50),
          text("F_yanSE", 50),
          text("F_caiLiao", 255),
          text("F_baoZhuang", 255),
          text("F_tiji", 50),
          text("F_TMcode", 50),
          text("F_other1", 255),
          text("F_other2", 255),
          text("F_other3", 255),
          text("F_other4", 255),
          text("F_Memo1", 255),
          {"F_useFlag", T::Bool},
          pinyinKey("F_NamePY")},
         {{"ix_goods_code", "F_Code"}, {"ix_goods_namepy", "F_NamePY", false, 9}}},
        {"T_client",
         {},
         {{"ix_client_code", "F_Code"}, {"ix_client_namepy", "F_NamePY", false, 9}}},
        {"T_suppler",
         {},
         {{"ix_suppler_code", "F_Code"}, {"ix_suppler_namepy", "F_NamePY", false, 9}}},
        {"t_code",
         {key,
          text("F_Name", 50),
          text("F_type", 50),
          text("F_LinkName", 50),
          {"F_rate", T::Float}},
         {{"ix_code_type", "F_type"}}},
        {"t_treecode",
         {key, text("F_code", 100), text("F_name", 50), text("F_likecode", 255), text("F_flag", 20),
          pinyinKey("F_namePY")},
         // Two workstations adding a node at once must not both get the same code.
         {{"ix_treecode_flag", "F_flag, F_code", true}}},
        {"OperList",
         {key,
          text("F_Name", 50),
          text("F_PassWord", 255),
          {"F_Mem", T::Memo},
          {"F_Flag", T::Bool},
          {"F_xtFlag", T::Bool}}},
        {"Limits", {key, text("F_name", 50), text("F_code", 10), {"F_flag", T::Bool}}},
        {"OperLimit", {key, text("F_OperName", 50), text("F_lmtName", 50)}},
        {"LogRec",
         {key, text("F_EmpName", 50), text("F_OperType", 255), text("F_OperDate", 10),
          text("F_OperTime", 8)}},
        {"SysInfo",
         {key, text("F_Code", 50), text("F_Name", 10), text("F_Manager", 50), text("F_Phone", 50),
          text("F_HandPhone", 50), text("F_Homepage", 255), text("F_Email", 255),
          text("F_BakPath", 255), text("F_Enroler", 50), text("F_Mem", 255)}},
        {"cfg_Grid",
         {key,
          text("F_name", 50),
          text("F_fieldname", 50),
          text("F_Caption", 50),
          {"F_Width", T::Integer},
          {"F_Visible", T::Bool},
          {"F_ReadOnly", T::Bool},
          {"F_Alignment", T::Integer},
          text("F_DisplayFormat", 50),
          {"F_FooterType", T::Integer},
          text("F_FooterValue", 255),
          {"F_Order", T::Integer}},
         {{"ix_grid_name", "F_name"}}},
        {"cfg_import",
         {key,
          text("F_tablename", 50),
          {"F_iFlag", T::Integer},
          text("S_Field", 50),
          text("F_FieldName", 50),
          text("F_field", 255)}},
        {"cfg_stat", {key, text("F_name", 50), {"F_SQLtext", T::Memo}}},
        {"cfg_schema", {{"F_version", T::Integer}}},
        // The last stored import, for undoing it: its target and when, and each row it added or
        // updated (F_kind 0 or 1) with a digest of the values it was given, so rows changed since
        // can be told apart, and an updated row's former values (F_before).
        {"cfg_importbatch",
         {key,
          text("F_tablename", 50),
          text("F_OperName", 50),
          text("F_stamp", 19),
          {"F_columns", T::Memo}},
         {},
         4},
        {"cfg_importrow",
         {key,
          {"F_batch", T::Integer},
          {"F_rowID", T::Integer},
          text("F_digest", 32),
          {"F_kind", T::Integer, 0, 6},
          {"F_before", T::Memo, 0, 6}},
         {{"ix_importrow_batch", "F_batch"}},
         4},
        // Named views of the list windows: an operator's criteria, order and columns under a
        // name, for him alone or shared with every operator (F_value: the saved value as JSON).
        {"cfg_view",
         {key,
          text("F_OperName", 50),
          text("F_window", 50),
          text("F_name", 50),
          {"F_shared", T::Bool},
          {"F_value", T::Memo}},
         {{"ix_view_name", "F_window, F_OperName, F_name", true}},
         8},
        // The pictures' bytes on a server, each content once, kept while a row of T_ImageREC
        // names its hash; in a backup, every picture its rows name. A register file keeps its
        // pictures as files in images/ instead.
        {"T_Picture",
         {text("F_hash", 64), {"F_size", T::Integer}, {"F_data", T::Blob}},
         {{"ix_picture_hash", "F_hash", true}},
         10},
    };
}

// Clients and suppliers share one column list.
std::vector<Column> partnerColumns()
{
    return {{"F_ID", T::Key},        text("F_Code", 50),      text("F_Name", 100),
            text("F_Type", 255),     text("F_LinkMan", 50),   text("F_Phone", 50),
            text("F_handPhone", 50), text("F_fax", 50),       text("F_Postcode", 20),
            text("F_Address", 255),  text("F_bank", 100),     text("F_account", 50),
            text("F_ratecode", 50),  text("F_homepage", 255), text("F_Email", 255),
            text("F_Memo1", 255),    {"F_useFlag", T::Bool},  pinyinKey("F_NamePY")};
}

QString columnDdl(const Column &c, const SqlDialect &dialect)
{
    const QString name = QString::fromLatin1(c.name);
    switch (c.type) {
    case T::Key:
        return name + u' ' + dialect.keyColumn();
    case T::Integer:
        return name + QStringLiteral(" integer default 0");
    case T::Text:
        return name + QStringLiteral(" varchar(%1) default ''").arg(c.width) +
               dialect.lengthCheck(name, c.width);
    case T::Memo:
        return name + QStringLiteral(" text default ''");
    case T::Float:
        return name + QStringLiteral(" double precision default 0");
    case T::Date:
        return name + QStringLiteral(" date");
    case T::Bool:
        return name + QStringLiteral(" boolean default ") + dialect.falseLiteral();
    case T::PinyinKey:
        // Keys order by their bytes on a server too, whatever the database's collation.
        return name + QStringLiteral(" text") +
               (dialect.engine() == Engine::PostgreSQL ? QStringLiteral(" collate \"C\"")
                                                       : QString()) +
               QStringLiteral(" default ''");
    case T::Blob:
        return name + u' ' + dialect.blobType();
    }
    return name;
}

QString tableStatement(const Table &t, const SqlDialect &dialect)
{
    QStringList columns;
    for (const Column &c : t.columns)
        columns << columnDdl(c, dialect);
    return QStringLiteral("create table %1 (%2)")
        .arg(QLatin1String(t.name), columns.join(QStringLiteral(", ")));
}

QStringList indexStatements(const Table &t, int version = kVersion)
{
    QStringList statements;
    for (const Index &ix : t.indexes) {
        if (ix.since > version)
            continue;
        statements << QStringLiteral("create %1index %2 on %3 (%4)")
                          .arg(ix.unique ? QStringLiteral("unique ") : QString(),
                               QLatin1String(ix.name), QLatin1String(t.name),
                               QLatin1String(ix.columns));
    }
    return statements;
}

QStringList existingTables(const QSqlDatabase &db)
{
    QStringList names;
    for (const QString &t : db.tables(QSql::Tables)) {
        if (!t.startsWith(u"sqlite_", Qt::CaseInsensitive))
            names << t.toLower();
    }
    return names;
}

bool exec(QSqlDatabase &db, const QString &sql, const QVariantList &values, QString *error,
          QSqlQuery *result = nullptr)
{
    QSqlQuery q(db);
    // PostgreSQL prepares no lock statement: statements without values run unprepared.
    bool ok = values.isEmpty() ? q.exec(sql) : q.prepare(sql);
    for (const QVariant &v : values)
        q.addBindValue(v);
    ok = ok && (values.isEmpty() || q.exec());
    if (!ok)
        *error = q.lastError().text();
    else if (result)
        *result = q;
    return ok;
}

// Two workstations may start on a new database at once: the second waits for the first's
// transaction and then finds the schema made.
bool create(QSqlDatabase &db, const SqlDialect &dialect, QString *error, bool *madeMeanwhile)
{
    *madeMeanwhile = false;
    Transaction tx(db);
    if (!tx.began(error) ||
        (dialect.engine() == Engine::PostgreSQL &&
         !exec(db, QStringLiteral("select pg_advisory_xact_lock(7368)"), {}, error)))
        return false;
    if (!existingTables(db).isEmpty()) {
        *madeMeanwhile = true;
        return true;
    }
    for (const QString &sql : createStatements(dialect) + SearchIndex::createStatements(dialect)) {
        if (!exec(db, sql, {}, error))
            return false;
    }
    if (dialect.engine() == Engine::PostgreSQL)
        ServerSearchIndex::addTrigramIndexes(db);
    return SchemaSeed::insertRequiredRows(db, error) &&
           exec(db, QStringLiteral("insert into cfg_schema(F_version) values(?)"), {kVersion},
                error) &&
           tx.commit(error);
}

// A stored layout gains the sums of `columns` (lower-cased, quoted) and the "合计" under the
// code where its columns had no footer of their own.
bool addFooterSums(QSqlDatabase &db, const QString &key, const QString &columns, QString *error)
{
    return exec(db,
                QStringLiteral("update cfg_Grid set F_FooterType = 2 where F_name = ? and "
                               "F_FooterType = 0 and lower(F_fieldname) in (%1)")
                    .arg(columns),
                {key}, error) &&
           exec(db,
                QStringLiteral("update cfg_Grid set F_FooterType = 1, F_FooterValue = ? "
                               "where F_name = ? and F_FooterType = 0 and "
                               "lower(F_fieldname) = 'f_goodcode'"),
                {QStringLiteral("合计"), key}, error);
}

// The main list's footer sums the quantity and the prices under a "合计": layouts stored
// before keep their columns and gain the sums where they had no footer of their own.
bool upgradeToV2(QSqlDatabase &db, QString *error)
{
    const QString key = QStringLiteral("revazezmain");
    QSqlQuery count;
    if (!exec(db,
              QStringLiteral("select count(*), coalesce(max(F_Order), 0), "
                             "sum(case when lower(F_fieldname) = 'f_amount' then 1 else 0 end) "
                             "from cfg_Grid where F_name = ?"),
              {key}, error, &count) ||
        !count.next())
        return false;
    const bool hasRows = count.value(0).toInt() > 0;
    const int lastOrder = count.value(1).toInt();
    const bool hasAmount = count.value(2).toInt() > 0;
    count.finish();
    if (hasRows && !hasAmount &&
        !exec(db,
              QStringLiteral("insert into cfg_Grid(F_name, F_fieldname, F_Caption, F_Width, "
                             "F_Visible, F_ReadOnly, F_Alignment, F_DisplayFormat, "
                             "F_FooterType, F_FooterValue, F_Order) "
                             "values(?, 'F_amount', ?, 85, ?, ?, 2, '0.###', 0, '', ?)"),
              {key, QStringLiteral("数量"), true, true, lastOrder + 1}, error))
        return false;
    return addFooterSums(
        db, key, QStringLiteral("'f_amount', 'f_cgprice', 'f_xsprice1', 'f_xsprice2'"), error);
}

// The sample-record statistics list is ordered by the edit date and sums the prices.
bool upgradeToV3(QSqlDatabase &db, QString *error)
{
    return exec(db,
                QStringLiteral("create index if not exists ix_goodmain_editdate on GoodMain "
                               "(F_editDate, F_ID)"),
                {}, error) &&
           addFooterSums(db, QStringLiteral("ypdetailtj"),
                         QStringLiteral("'f_cgprice', 'f_xsprice1', 'f_xsprice2'"), error);
}

// Creates the tables that schema `version` added, where they are missing.
bool addTablesOf(int version, QSqlDatabase &db, QString *error)
{
    const SqlDialect dialect = SqlDialect::of(db);
    const QStringList existing = existingTables(db);
    for (const Table &t : tablesOf(version)) {
        if (t.since != version || existing.contains(QString::fromLatin1(t.name).toLower()))
            continue;
        for (const QString &sql :
             QStringList{tableStatement(t, dialect)} + indexStatements(t, version)) {
            if (!exec(db, sql, {}, error))
                return false;
        }
    }
    return true;
}

// Imports can be undone: the tables that remember the last one.
bool upgradeToV4(QSqlDatabase &db, QString *error)
{
    return addTablesOf(4, db, error);
}

// Searches on a server are served by indexes: pairs and trigrams for contains, lower-cased
// patterns for starts with. A file has had its search index since the first version.
bool upgradeToV5(QSqlDatabase &db, QString *error)
{
    const SqlDialect dialect = SqlDialect::of(db);
    if (dialect.engine() != Engine::PostgreSQL)
        return true;
    for (const QString &sql : ServerSearchIndex::createStatements(5)) {
        if (!exec(db, sql, {}, error))
            return false;
    }
    // Without pg_trgm the pair index serves every contains search.
    ServerSearchIndex::addTrigramIndexes(db, 5);
    return true;
}

// An import can update existing rows: the undo record keeps what they held before.
bool upgradeToV6(QSqlDatabase &db, QString *error)
{
    const SqlDialect dialect = SqlDialect::of(db);
    const Table *t = table(QStringLiteral("cfg_importrow"));
    // Only the columns the table lacks are added.
    const QSqlRecord existing = db.record(QStringLiteral("cfg_importrow"));
    for (const Column &c : t->columns) {
        if (!existing.contains(QLatin1String(c.name)) &&
            !exec(db,
                  QStringLiteral("alter table cfg_importrow add column ") + columnDdl(c, dialect),
                  {}, error))
            return false;
    }
    return true;
}

// A sample is found by its bar code (条型码) when scanned, and the main list searches it: an
// index that ignores case serves both, on either engine.
bool upgradeToV7(QSqlDatabase &db, QString *error)
{
    const SqlDialect dialect = SqlDialect::of(db);
    const QStringList statements = dialect.engine() == Engine::PostgreSQL
                                       ? ServerSearchIndex::createStatements(7)
                                       : QStringList{SearchIndex::barCodeIndexStatement()};
    for (const QString &sql : statements) {
        if (!exec(db, sql, {}, error))
            return false;
    }
    return true;
}

// Operators keep named views of the lists.
bool upgradeToV8(QSqlDatabase &db, QString *error)
{
    return addTablesOf(8, db, error);
}

// Names are searched by their pinyin initials and sorted by pinyin: every keyed name column
// gains its key, filled from the names, and the indexes that serve both.
bool upgradeToV9(QSqlDatabase &db, const WorkProgress &progress, QString *error)
{
    const SqlDialect dialect = SqlDialect::of(db);
    for (const Table &t : tablesOf(9)) {
        // The columns as a statement reads them: a server's catalogue spells names otherwise.
        QSqlQuery columns;
        if (!exec(db, QStringLiteral("select * from %1 where 1 = 0").arg(QLatin1String(t.name)), {},
                  error, &columns))
            return false;
        const QSqlRecord existing = columns.record();
        columns.finish();
        for (const Column &c : t.columns) {
            if (c.since == 9 && !existing.contains(QLatin1String(c.name)) &&
                !exec(db,
                      QStringLiteral("alter table %1 add column ").arg(QLatin1String(t.name)) +
                          columnDdl(c, dialect),
                      {}, error))
                return false;
        }
    }
    // A file restored from a server's backup gets its search index only after upgrading.
    const bool fullText = dialect.engine() == Engine::SQLite &&
                          db.tables().contains(QStringLiteral("GoodMain_fts"), Qt::CaseInsensitive);
    // A rewritten row is indexed again in every index: the search indexes go while the keys
    // are filled, and are built once after.
    const QStringList drops = fullText ? SearchIndex::dropStatements()
                              : dialect.engine() == Engine::PostgreSQL
                                  ? ServerSearchIndex::dropStatements()
                                  : QStringList();
    for (const QString &sql : drops) {
        if (!exec(db, sql, {}, error))
            return false;
    }
    if (!Pinyin::fillKeys(db, progress, error)) {
        if (error->isEmpty())
            *error = QObject::tr("数据库升级已取消。");
        return false;
    }
    QStringList statements;
    for (const Table &t : tablesOf(9)) {
        for (const Index &ix : t.indexes) {
            if (ix.since == 9)
                statements << QStringLiteral("create index if not exists %1 on %2 (%3)")
                                  .arg(QLatin1String(ix.name), QLatin1String(t.name),
                                       QLatin1String(ix.columns));
        }
    }
    if (dialect.engine() == Engine::PostgreSQL)
        statements << ServerSearchIndex::createStatements();
    else if (fullText)
        statements << SearchIndex::rebuildStatements();
    for (const QString &sql : std::as_const(statements)) {
        if (!exec(db, sql, {}, error))
            return false;
    }
    if (dialect.engine() == Engine::PostgreSQL)
        ServerSearchIndex::addTrigramIndexes(db);
    return true;
}

// A server keeps the pictures' bytes, each content once, named by its hash.
bool upgradeToV10(QSqlDatabase &db, QString *error)
{
    const SqlDialect dialect = SqlDialect::of(db);
    const Column *hash = column(QStringLiteral("T_ImageREC"), QStringLiteral("F_hash"));
    return (db.record(QStringLiteral("t_imagerec")).contains(QStringLiteral("f_hash")) ||
            exec(db,
                 QStringLiteral("alter table T_ImageREC add column ") + columnDdl(*hash, dialect),
                 {}, error)) &&
           exec(db,
                QStringLiteral("create index if not exists ix_imagerec_hash on T_ImageREC "
                               "(F_hash)"),
                {}, error) &&
           addTablesOf(10, db, error);
}

// Brings a database of an older version up to this one, a step at a time, each step with
// its version row whole or not at all. Workstations starting together take turns: each step
// first becomes the only writer, then looks again at what another has done meanwhile.
bool upgrade(QSqlDatabase &db, const SqlDialect &dialect, int version, QString *error,
             const WorkProgress &progress)
{
    using Step = std::function<bool(QSqlDatabase &, QString *)>;
    const Step steps[] = {
        nullptr,
        nullptr,
        upgradeToV2,
        upgradeToV3,
        upgradeToV4,
        upgradeToV5,
        upgradeToV6,
        upgradeToV7,
        upgradeToV8,
        [&progress](QSqlDatabase &db, QString *error) { return upgradeToV9(db, progress, error); },
        upgradeToV10};
    for (int next = version + 1; next <= kVersion; ++next) {
        Transaction tx(db);
        QSqlQuery current;
        if (!tx.began(error) ||
            !exec(db, dialect.lockForWriting(QStringLiteral("cfg_schema")), {}, error) ||
            !exec(db, QStringLiteral("select max(F_version) from cfg_schema"), {}, error,
                  &current) ||
            !current.next())
            return false;
        const bool done = current.value(0).toInt() >= next;
        current.finish();
        if (!done && (!steps[next](db, error) ||
                      !exec(db, QStringLiteral("insert into cfg_schema(F_version) values(?)"),
                            {next}, error)))
            return false;
        if (!tx.commit(error))
            return false;
    }
    return true;
}

} // namespace

const std::vector<Table> &tables()
{
    static const std::vector<Table> all = [] {
        std::vector<Table> list = buildTables();
        for (Table &t : list) {
            if (t.columns.empty())
                t.columns = partnerColumns();
        }
        return list;
    }();
    return all;
}

const Table *table(const QString &name)
{
    for (const Table &t : tables()) {
        if (name.compare(QLatin1String(t.name), Qt::CaseInsensitive) == 0)
            return &t;
    }
    return nullptr;
}

const Column *column(const QString &tableName, const QString &columnName)
{
    const Table *t = table(tableName);
    if (!t)
        return nullptr;
    for (const Column &c : t->columns) {
        if (columnName.compare(QLatin1String(c.name), Qt::CaseInsensitive) == 0)
            return &c;
    }
    return nullptr;
}

int width(const QString &tableName, const QString &columnName)
{
    const Column *c = column(tableName, columnName);
    return c && c->type == ColumnType::Text ? c->width : 0;
}

std::vector<Table> tablesOf(int version)
{
    std::vector<Table> then;
    for (const Table &t : tables()) {
        if (t.since > version)
            continue;
        Table table = t;
        std::erase_if(table.columns, [version](const Column &c) { return c.since > version; });
        std::erase_if(table.indexes, [version](const Index &ix) { return ix.since > version; });
        then.push_back(std::move(table));
    }
    return then;
}

QStringList tableStatements(const SqlDialect &dialect, int version)
{
    QStringList statements;
    for (const Table &t : tablesOf(version))
        statements << tableStatement(t, dialect);
    return statements;
}

QStringList indexStatements(int version)
{
    QStringList statements;
    for (const Table &t : tablesOf(version))
        statements << indexStatements(t, version);
    return statements;
}

QStringList createStatements(const SqlDialect &dialect)
{
    return tableStatements(dialect) + indexStatements();
}

State inspect(const QSqlDatabase &db, int *version, QString *error)
{
    *version = 0;
    const QStringList present = existingTables(db);
    if (present.isEmpty())
        return State::Empty;
    if (!present.contains(QStringLiteral("cfg_schema")))
        return State::Foreign;
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("select max(F_version) from cfg_schema"))) {
        *error = q.lastError().text();
        return State::Damaged;
    }
    *version = q.next() ? q.value(0).toInt() : 0;
    if (*version > kVersion)
        return State::Newer;
    if (*version < 1)
        return State::Damaged;
    return *version < kVersion ? State::Older : State::Current;
}

bool ensure(QSqlDatabase &db, const SqlDialect &dialect, QString *error,
            const WorkProgress &progress)
{
    int version = 0;
    switch (inspect(db, &version, error)) {
    case State::Empty: {
        bool madeMeanwhile = false;
        if (!create(db, dialect, error, &madeMeanwhile))
            return false;
        return !madeMeanwhile || ensure(db, dialect, error, progress);
    }
    case State::Current:
        return true;
    case State::Older:
        return upgrade(db, dialect, version, error, progress);
    case State::Foreign:
        *error = QObject::tr("这不是样品数据库：其中已有别的数据表。");
        return false;
    case State::Newer:
        *error = QObject::tr("数据库的版本（%1）比本程序（%2）新，请使用新版程序打开。")
                     .arg(version)
                     .arg(kVersion);
        return false;
    case State::Damaged:
        *error = QObject::tr("数据库的版本记录已损坏。") + u' ' + *error;
        return false;
    }
    return false;
}

} // namespace Schema
