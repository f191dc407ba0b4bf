#include "maintenance/Backup.h"

#include "core/AppHome.h"
#include "core/Connection.h"
#include "core/DataDm.h"
#include "core/Schema.h"
#include "core/SearchIndex.h"
#include "core/ServerSearchIndex.h"
#include "core/SqlDialect.h"
#include "core/SqliteStatement.h"
#include "core/TableCopy.h"
#include "core/Transaction.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QUuid>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sqlite3.h>

namespace Backup {

namespace {

constexpr int kFormat = 1;

QString uniqueName(const char *what)
{
    return QStringLiteral("backup-%1-%2")
        .arg(QLatin1String(what), QUuid::createUuid().toString(QUuid::WithoutBraces));
}

bool exec(QSqlDatabase &db, const QString &sql, QString *error)
{
    QSqlQuery q(db);
    if (q.exec(sql))
        return true;
    *error = q.lastError().text();
    return false;
}

// A connection to a file of our own making, able to write the sample search index.
bool openFile(const QString &file, const QString &name, QSqlDatabase *db, QString *error)
{
    *db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db->setDatabaseName(file);
    if (!db->open()) {
        *error = db->lastError().text();
        return false;
    }
    return SearchIndex::registerTokenizer(*db, error);
}

// Copies the whole database `from` into `to` in one step: one read of one snapshot (writers go
// on with the write-ahead log, and nothing can make the copy start over), one change of `to`.
// A busy database is tried again `tries` times.
bool copyDatabase(sqlite3 *to, sqlite3 *from, int tries, QString *error)
{
    sqlite3_backup *backup = sqlite3_backup_init(to, "main", from, "main");
    int rc = backup ? SQLITE_OK : sqlite3_errcode(to);
    for (int i = 0;
         backup && i < tries && (rc == SQLITE_OK || rc == SQLITE_BUSY || rc == SQLITE_LOCKED);
         ++i) {
        rc = sqlite3_backup_step(backup, -1);
        if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
            sqlite3_sleep(50);
    }
    if (backup)
        sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE)
        *error = QString::fromUtf8(sqlite3_errstr(rc));
    return rc == SQLITE_DONE;
}

// SQLite copies itself from one consistent state, while others go on writing.
bool copySqlite(QSqlDatabase &source, const QString &file, QString *error, const Progress &progress)
{
    sqlite3 *to = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(file).constData(), &to,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        *error = QString::fromUtf8(sqlite3_errmsg(to));
        sqlite3_close(to);
        return false;
    }
    bool ok = copyDatabase(to, SqliteStatement::connectionOf(source), 100, error);
    sqlite3_close(to);
    if (ok && progress && !progress(90)) {
        *error = QStringLiteral("stopped");
        ok = false;
    }
    return ok;
}

// The rows of every table of the schema, for progress told in rows.
bool countRows(QSqlDatabase &db, qint64 *rows, QString *error)
{
    *rows = 0;
    QSqlQuery q(db);
    for (const Schema::Table &t : Schema::tables()) {
        if (!q.exec(QStringLiteral("select count(*) from ") + QLatin1String(t.name)) || !q.next()) {
            *error = q.lastError().text();
            return false;
        }
        *rows += q.value(0).toLongLong();
    }
    return true;
}

// Progress across all tables, from `from` to `to` percent, told in rows.
class RowProgress
{
public:
    RowProgress(const Progress &progress, qint64 total, int from, int to)
        : m_progress(progress), m_total(std::max<qint64>(total, 1)), m_from(from), m_to(to)
    {
    }
    TableCopy::RowsDone forTable()
    {
        const qint64 before = m_done;
        return [this, before](qint64 rows) {
            m_done = before + rows;
            return !m_progress ||
                   m_progress(m_from + int((m_to - m_from) * std::min(m_done, m_total) / m_total));
        };
    }

private:
    Progress m_progress;
    qint64 m_total;
    qint64 m_done = 0;
    int m_from;
    int m_to;
};

// Every table of the schema read in one snapshot of the server, written into a new file with
// the schema of a SQLite database, its indexes built once the rows are in. The search index is
// left to a restore into a file, the only place that needs it.
bool copyServer(QSqlDatabase &source, QSqlDatabase &file, QString *error, const Progress &progress)
{
    const SqlDialect sqlite(Engine::SQLite);
    qint64 total = 0;
    if (!exec(source,
              QStringLiteral("begin transaction isolation level repeatable read, read only"),
              error) ||
        !countRows(source, &total, error))
        return false;
    Transaction transaction(file);
    if (!transaction.began(error))
        return false;
    for (const QString &sql : Schema::tableStatements(sqlite)) {
        if (!exec(file, sql, error))
            return false;
    }
    RowProgress rows(progress, total, 0, 70);
    for (const Schema::Table &table : Schema::tables()) {
        if (!TableCopy::serverToFile(source, file, table, error, rows.forTable()))
            return false;
    }
    for (const QString &sql : Schema::indexStatements()) {
        if (!exec(file, sql, error))
            return false;
    }
    return transaction.commit(error) && exec(source, QStringLiteral("commit"), error);
}

bool writeHeader(QSqlDatabase &file, Engine engine, QString *error)
{
    Transaction transaction(file);
    if (!transaction.began(error) ||
        !exec(file,
              QStringLiteral("create table backup_header(F_key text primary key, F_value text)"),
              error))
        return false;
    QMap<QString, QString> values{
        {QStringLiteral("format"), QString::number(kFormat)},
        {QStringLiteral("program"), QStringLiteral(QUORIN_VERSION)},
        {QStringLiteral("engine"),
         engine == Engine::SQLite ? QStringLiteral("sqlite") : QStringLiteral("postgresql")},
        {QStringLiteral("taken"), QDateTime::currentDateTime().toString(Qt::ISODate)}};
    QSqlQuery q(file);
    if (!q.exec(QStringLiteral("select max(F_version) from cfg_schema")) || !q.next()) {
        *error = q.lastError().text();
        return false;
    }
    values.insert(QStringLiteral("schema"), q.value(0).toString());
    for (const Schema::Table &t : Schema::tables()) {
        const QString name = QLatin1String(t.name);
        if (!q.exec(QStringLiteral("select count(*) from ") + name) || !q.next()) {
            *error = q.lastError().text();
            return false;
        }
        values.insert(QStringLiteral("rows.") + name.toLower(), q.value(0).toString());
    }
    q.finish();
    QSqlQuery insert(file);
    insert.prepare(QStringLiteral("insert into backup_header(F_key, F_value) values(?, ?)"));
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        insert.addBindValue(it.key());
        insert.addBindValue(it.value());
        if (!insert.exec()) {
            *error = insert.lastError().text();
            return false;
        }
    }
    return transaction.commit(error);
}

bool writeFile(const DataSource &source, const QString &file, QString *error,
               const Progress &progress)
{
    const QString sourceName = uniqueName("source");
    const QString fileName = uniqueName("file");
    bool ok = false;
    {
        QSqlDatabase from;
        if (Connection::open(source, sourceName, &from, error)) {
            QSqlDatabase to;
            if (source.engine == Engine::SQLite) {
                ok =
                    copySqlite(from, file, error, progress) && openFile(file, fileName, &to, error);
            } else {
                ok = openFile(file, fileName, &to, error) && copyServer(from, to, error, progress);
            }
            // A backup is one file: no write-ahead log beside it.
            ok = ok && writeHeader(to, source.engine, error) &&
                 exec(to, QStringLiteral("pragma journal_mode=delete"), error);
            to.close();
            from.close();
        }
    }
    QSqlDatabase::removeDatabase(fileName);
    QSqlDatabase::removeDatabase(sourceName);
    return ok;
}

// A backup's own connection, read-only.
bool openBackup(const QString &file, const QString &name, QSqlDatabase *db, QString *error)
{
    *db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db->setDatabaseName(file);
    db->setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    if (!db->open()) {
        *error = db->lastError().text();
        return false;
    }
    return SearchIndex::registerTokenizer(*db, error);
}

bool restoreSqlite(QSqlDatabase &backup, QSqlDatabase &target, QString *error,
                   const Progress &progress)
{
    // Other workstations' writes finish first; each try waits the connection's busy time.
    if (!copyDatabase(SqliteStatement::connectionOf(target), SqliteStatement::connectionOf(backup),
                      4, error))
        return false;
    if (progress)
        progress(90);
    // The data is in; the journal mode is the connection's way of working, not data.
    QString ignored;
    exec(target, QStringLiteral("pragma journal_mode=wal"), &ignored);
    return true;
}

bool restoreServer(QSqlDatabase &backup, QSqlDatabase &target, QString *error,
                   const Progress &progress)
{
    qint64 total = 0;
    if (!countRows(backup, &total, error))
        return false;
    Transaction transaction(target);
    // A workstation idle in a transaction must not hold the restore for ever.
    if (!transaction.began(error) ||
        !exec(target, QStringLiteral("set local lock_timeout = '15s'"), error))
        return false;
    QStringList names;
    for (const Schema::Table &t : Schema::tables())
        names << QLatin1String(t.name);
    if (!exec(target, QStringLiteral("truncate table ") + names.join(QStringLiteral(", ")), error))
        return false;
    // Search indexes are built faster once over all rows than row by row.
    for (const QString &sql : ServerSearchIndex::dropStatements()) {
        if (!exec(target, sql, error))
            return false;
    }
    RowProgress rows(progress, total, 20, 95);
    for (const Schema::Table &table : Schema::tables()) {
        if (!TableCopy::fileToServer(backup, target, table, error, rows.forTable()))
            return false;
        const bool keyed = std::any_of(table.columns.begin(), table.columns.end(),
                                       [](auto &c) { return c.type == Schema::ColumnType::Key; });
        // New rows continue after the restored keys.
        if (keyed && !exec(target,
                           QStringLiteral("select setval(pg_get_serial_sequence('%1', 'f_id'), "
                                          "coalesce(max(F_ID), 0) + 1, false) from %1")
                               .arg(QString::fromLatin1(table.name).toLower()),
                           error))
            return false;
    }
    for (const QString &sql : SearchIndex::createStatements(SqlDialect(Engine::PostgreSQL))) {
        if (!exec(target, sql, error))
            return false;
    }
    ServerSearchIndex::addTrigramIndexes(target);
    return transaction.commit(error);
}

// The backup as it will come back: a copy without its header, upgraded to this program's
// schema and, for a file, searchable, so that the live data changes in one step at the very
// end, or not at all.
bool prepareCopy(const QString &file, const QString &copy, Engine target, QString *error)
{
    QFile::remove(copy);
    if (!QFile::copy(file, copy)) {
        *error = QStringLiteral("cannot copy the backup to %1").arg(copy);
        return false;
    }
    QFile(copy).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const QString name = uniqueName("prepare");
    bool ok = false;
    {
        QSqlDatabase db;
        ok = openFile(copy, name, &db, error) &&
             exec(db, QStringLiteral("drop table backup_header"), error) &&
             Schema::ensure(db, SqlDialect(Engine::SQLite), error) &&
             (target != Engine::SQLite || SearchIndex::ensureBuilt(db, error));
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

// The tables and columns of the schema, each with as many rows as the header says.
bool wholeAsDescribed(const QSqlDatabase &db, const QMap<QString, QString> &header,
                      QString *missing)
{
    for (const Schema::Table &t : Schema::tables()) {
        QStringList columns;
        for (const Schema::Column &c : t.columns)
            columns << QLatin1String(c.name);
        QSqlQuery q(db);
        const QString name = QLatin1String(t.name);
        if (!q.exec(QStringLiteral("select count(*) from (select %1 from %2) rows")
                        .arg(columns.join(u','), name)) ||
            !q.next()) {
            *missing = name;
            return false;
        }
        if (q.value(0).toString() != header.value(QStringLiteral("rows.") + name.toLower())) {
            *missing = name;
            return false;
        }
    }
    return true;
}

} // namespace

bool check(const QString &file, QString *error)
{
    QFile bytes(file);
    if (!bytes.open(QIODevice::ReadOnly) || bytes.read(16) != QByteArray("SQLite format 3\0", 16)) {
        *error = QObject::tr("“%1”不是本程序的备份文件。").arg(QDir::toNativeSeparators(file));
        return false;
    }
    bytes.close();
    const QString name = uniqueName("check");
    bool ok = false;
    {
        QSqlDatabase db;
        QString reason;
        if (!openBackup(file, name, &db, &reason)) {
            *error = QObject::tr("备份文件已损坏：%1").arg(reason);
        } else {
            QSqlQuery q(db);
            if (!q.exec(QStringLiteral("pragma integrity_check")) || !q.next() ||
                q.value(0).toString() != u"ok") {
                *error = QObject::tr("备份文件已损坏：%1")
                             .arg(q.isActive() ? q.value(0).toString() : q.lastError().text());
            } else {
                q.finish();
                const QMap<QString, QString> values = header(file, &reason);
                const int schema = values.value(QStringLiteral("schema")).toInt();
                QString missing;
                if (values.value(QStringLiteral("format")) != QString::number(kFormat) ||
                    schema < 1)
                    *error = QObject::tr("“%1”不是本程序的备份文件。")
                                 .arg(QDir::toNativeSeparators(file));
                else if (schema > Schema::kVersion)
                    *error =
                        QObject::tr("备份文件的版本（%1）比本程序（%2）新，请使用新版程序恢复。")
                            .arg(schema)
                            .arg(Schema::kVersion);
                // Older backups have the tables of their own version; upgrading checks them.
                else if (schema == Schema::kVersion && !wholeAsDescribed(db, values, &missing))
                    *error = QObject::tr("备份文件已损坏：数据表 %1 不完整。").arg(missing);
                else
                    ok = true;
            }
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

bool restore(const QString &file, const DataSource &target, QString *error,
             const Progress &progress)
{
    QTemporaryDir work;
    const QString copy = work.filePath(QStringLiteral("restore.db"));
    if (!work.isValid() || !prepareCopy(file, copy, target.engine, error))
        return false;
    if (progress && !progress(20)) {
        *error = QStringLiteral("stopped");
        return false;
    }
    const QString backupName = uniqueName("restore-from");
    const QString targetName = uniqueName("restore-into");
    bool ok = false;
    {
        QSqlDatabase from;
        QSqlDatabase into;
        if (openBackup(copy, backupName, &from, error) &&
            Connection::open(target, targetName, &into, error))
            ok = target.engine == Engine::SQLite ? restoreSqlite(from, into, error, progress)
                                                 : restoreServer(from, into, error, progress);
        into.close();
        from.close();
    }
    QSqlDatabase::removeDatabase(targetName);
    QSqlDatabase::removeDatabase(backupName);
    if (ok && progress)
        progress(100);
    return ok;
}

bool isDue(int mode, const QDate &day)
{
    switch (mode) {
    case 1:
        return true;
    case 2:
        return day.dayOfWeek() == Qt::Monday;
    case 3:
        return day.day() == 1;
    default:
        return false;
    }
}

QString storedFolder(TdmData &dm)
{
    const QString folder =
        dm.GetStrValue(QStringLiteral("select F_BakPath from SysInfo")).trimmed();
    return folder.isEmpty() ? AppHome::path(QStringLiteral("back")) : folder;
}

QString fileName(const QDate &day)
{
    return QStringLiteral("dp") + day.toString(QStringLiteral("yyyyMMdd")) +
           QStringLiteral(".back");
}

QString safetyFileName(const QDateTime &time)
{
    return QStringLiteral("恢复前备份 ") + time.toString(QStringLiteral("yyyy-MM-dd HH-mm-ss")) +
           QStringLiteral(".back");
}

bool write(const DataSource &source, const QString &target, QString *error,
           const Progress &progress)
{
    // Written aside and renamed when complete: a crash or a full disk never leaves a file
    // that looks like a finished backup.
    // Its own part file: two backups of one day never write into each other.
    const QString part = target + u'.' + QUuid::createUuid().toString(QUuid::WithoutBraces) +
                         QStringLiteral(".part");
    if (!writeFile(source, part, error, progress)) {
        QFile::remove(part);
        return false;
    }
    if (std::rename(QFile::encodeName(part).constData(), QFile::encodeName(target).constData()) !=
        0) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
        QFile::remove(part);
        return false;
    }
    if (progress)
        progress(100);
    return true;
}

QMap<QString, QString> header(const QString &file, QString *error)
{
    QMap<QString, QString> values;
    const QString name = uniqueName("header");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(file);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        QSqlQuery q(db);
        if (!db.open() || !q.exec(QStringLiteral("select F_key, F_value from backup_header")))
            *error = db.isOpen() ? q.lastError().text() : db.lastError().text();
        while (q.next())
            values.insert(q.value(0).toString(), q.value(1).toString());
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return values;
}

} // namespace Backup
