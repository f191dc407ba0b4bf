#include "maintenance/Backup.h"

#include "core/AppHome.h"
#include "core/DataDm.h"
#include "core/OwnConnection.h"
#include "core/OwnerOnly.h"
#include "core/Schema.h"
#include "core/SearchIndex.h"
#include "core/ServerSearchIndex.h"
#include "core/SqlDialect.h"
#include "core/SqliteStatement.h"
#include "core/TableCopy.h"
#include "core/Transaction.h"
#include "maintenance/BackupPictures.h"
#include "maintenance/BackupReader.h"
#include "register/PictureName.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <sqlite3.h>

namespace Backup {

namespace {

constexpr int kFormat = 1;

bool exec(QSqlDatabase &db, const QString &sql, QString *error)
{
    QSqlQuery q(db);
    if (q.exec(sql))
        return true;
    *error = q.lastError().text();
    return false;
}

// A connection to a file of our own making, able to write the sample search index.
bool openFile(std::optional<OwnConnection> &connection, const QString &file, const QString &purpose,
              QString *error)
{
    connection.emplace(OwnConnection::SqliteFile{file, {}}, purpose);
    if (!connection->isOpen()) {
        *error = connection->error();
        return false;
    }
    return SearchIndex::registerTokenizer(connection->db(), error);
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
bool copySqlite(QSqlDatabase &source, const QString &file, QString *error, WorkTracker &work)
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
    return ok && work.report(90);
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
    RowProgress(const WorkProgress &progress, qint64 total, int from, int to)
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
    WorkProgress m_progress;
    qint64 m_total;
    qint64 m_done = 0;
    int m_from;
    int m_to;
};

bool isPictures(const Schema::Table &table)
{
    return QLatin1String(table.name) == u"T_Picture";
}

// Every table of the schema read in one snapshot of the server, written into a new file with
// the schema of a SQLite database, its indexes built once the rows are in. The search index is
// left to a restore into a file, the only place that needs it.
bool copyServer(QSqlDatabase &source, QSqlDatabase &file, bool withPictures, QString *error,
                const WorkProgress &progress)
{
    const SqlDialect sqlite(Engine::SQLite);
    qint64 total = 0;
    // Pictures travel as hex, half the size of the escaped form Qt's driver asks for.
    if (!exec(source,
              QStringLiteral("begin transaction isolation level repeatable read, read only"),
              error) ||
        !exec(source, QStringLiteral("set local bytea_output = 'hex'"), error) ||
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
        if (!withPictures && isPictures(table))
            continue;
        if (!TableCopy::serverToFile(source, file, table, error, rows.forTable()))
            return false;
    }
    for (const QString &sql : Schema::indexStatements()) {
        if (!exec(file, sql, error))
            return false;
    }
    return transaction.commit(error) && exec(source, QStringLiteral("commit"), error);
}

bool writeHeader(QSqlDatabase &file, Engine engine, bool withPictures, QString *error)
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
        {QStringLiteral("taken"), QDateTime::currentDateTime().toString(Qt::ISODate)},
        {QStringLiteral("pictures"), withPictures ? QStringLiteral("yes") : QStringLiteral("no")}};
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

bool writeFile(const DataSource &source, const QString &file, bool withPictures, QString *error,
               WorkTracker &work)
{
    if (!OwnerOnly::prepare(file)) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    OwnConnection from(source, QStringLiteral("backup-source"));
    if (!from.isOpen()) {
        *error = from.error();
        return false;
    }
    std::optional<OwnConnection> to;
    const QString purpose = QStringLiteral("backup-file");
    // A register file's pictures are files: the backup reads them in, told in bytes.
    bool ok = source.engine == Engine::SQLite
                  ? copySqlite(from.db(), file, error, work) &&
                        openFile(to, file, purpose, error) &&
                        (!withPictures || BackupPictures::addFiles(to->db(), PictureName::folder(),
                                                                   error, work.part(90, 100)))
                  : openFile(to, file, purpose, error) &&
                        copyServer(from.db(), to->db(), withPictures, error, work.part(0, 100));
    // A backup is one file: no write-ahead log beside it.
    return ok && writeHeader(to->db(), source.engine, withPictures, error) &&
           exec(to->db(), QStringLiteral("pragma journal_mode=delete"), error);
}

bool restoreSqlite(QSqlDatabase &backup, QSqlDatabase &target, QString *error,
                   const WorkProgress &progress)
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

// With `keepPictures`, the server's pictures stay as they are: the backup holds none.
bool restoreServer(QSqlDatabase &backup, QSqlDatabase &target, bool keepPictures, QString *error,
                   const WorkProgress &progress)
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
    for (const Schema::Table &t : Schema::tables()) {
        if (!keepPictures || !isPictures(t))
            names << QLatin1String(t.name);
    }
    if (!exec(target, QStringLiteral("truncate table ") + names.join(QStringLiteral(", ")), error))
        return false;
    // Search indexes are built faster once over all rows than row by row.
    for (const QString &sql : ServerSearchIndex::dropStatements()) {
        if (!exec(target, sql, error))
            return false;
    }
    RowProgress rows(progress, total, 20, 95);
    for (const Schema::Table &table : Schema::tables()) {
        if (keepPictures && isPictures(table))
            continue;
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

// The backup's rows in a new file holding the program's schema of the backup's version and
// nothing else, then upgraded, and for a file searchable: what will replace the data in one
// step at the very end, or not at all.
bool build(BackupReader &reader, QSqlDatabase &db, Engine target, QString *error,
           const WorkProgress &progress)
{
    const SqlDialect sqlite(Engine::SQLite);
    // A file of our own that is thrown away on failure: no journal beside it.
    if (!exec(db, QStringLiteral("pragma journal_mode=memory"), error) ||
        !exec(db, QStringLiteral("pragma synchronous=off"), error))
        return false;
    {
        Transaction transaction(db);
        if (!transaction.began(error))
            return false;
        for (const QString &sql : Schema::tableStatements(sqlite, reader.version())) {
            if (!exec(db, sql, error))
                return false;
        }
        if (!reader.copyTables(db, error,
                               [&progress](int percent) { return progress(percent * 60 / 100); }))
            return false;
        SqliteWatch watch(db, [&progress] { return progress(60); });
        for (const QString &sql : Schema::indexStatements(reader.version())) {
            if (!exec(db, sql, error))
                return false;
        }
        if (!transaction.commit(error))
            return false;
    }
    QSqlQuery version(db);
    if (!version.exec(QStringLiteral("select max(F_version) from cfg_schema")) || !version.next() ||
        version.value(0).toInt() != reader.version()) {
        *error = QObject::tr("备份文件已损坏：版本记录与文件头不符。");
        return false;
    }
    version.finish();
    // Indexed once the rows have every column this version's search index covers.
    return Schema::ensure(db, sqlite, error) &&
           (target != Engine::SQLite || SearchIndex::ensureBuilt(db, error));
}

} // namespace

WorkResult check(const QString &file, const WorkProgress &progress, const QString &workFolder)
{
    BackupReader reader(workFolder.isEmpty() ? AppHome::path(QStringLiteral("back")) : workFolder);
    return reader.open(file, progress);
}

WorkResult restore(const QString &file, const DataSource &target, const WorkProgress &progress,
                   const QString &workFolder)
{
    const QString folder = workFolder.isEmpty() ? Backup::workFolder(target) : workFolder;
    WorkTracker work(progress);
    BackupReader reader(folder);
    if (const WorkResult opened = reader.open(file, work.part(0, 20)); !opened.isDone())
        return opened;
    const QString fresh = partName(QDir(folder).filePath(QStringLiteral("restore.back")));
    if (!OwnerOnly::prepare(fresh))
        return WorkResult::failed(QString::fromLocal8Bit(std::strerror(errno)));
    QString error;
    bool ok = false;
    const bool hasPictures = reader.header().value(QStringLiteral("pictures")) == u"yes";
    // Pictures for images/ wait beside it until the data is in, then move in by renaming.
    const QString staging = PictureName::folder() + QStringLiteral("/.restore-") +
                            QUuid::createUuid().toString(QUuid::WithoutBraces);
    {
        std::optional<OwnConnection> from;
        std::optional<OwnConnection> into;
        const auto openTarget = [&] {
            into.emplace(target, QStringLiteral("restore-into"));
            error = into->error();
            return into->isOpen();
        };
        ok =
            openFile(from, fresh, QStringLiteral("restore-from"), &error) &&
            build(reader, from->db(), target.engine, &error, work.part(20, 70)) &&
            (target.engine != Engine::SQLite ||
             BackupPictures::extractFiles(from->db(), staging, &error)) &&
            work.report(70) && openTarget() &&
            (target.engine == Engine::SQLite
                 ? restoreSqlite(from->db(), into->db(), &error, work.part(70, 100))
                 : restoreServer(from->db(), into->db(), !hasPictures, &error, work.part(70, 100)));
    }
    removePart(fresh);
    if (target.engine == Engine::SQLite) {
        if (ok && !BackupPictures::placeFiles(staging, PictureName::folder(), &error)) {
            qWarning("restore: %s", qPrintable(error));
            ok = false;
        }
        QDir(staging).removeRecursively();
    }
    if (ok)
        work.report(100);
    return work.result(ok, error);
}

QString workFolder(const DataSource &target)
{
    return target.engine == Engine::SQLite ? QFileInfo(target.sqliteFile).absolutePath()
                                           : AppHome::path(QStringLiteral("back"));
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

WorkResult write(const DataSource &source, const QString &target, const WorkProgress &progress,
                 bool withPictures)
{
    // Written aside and renamed when complete: a crash or a full disk never leaves a file
    // that looks like a finished backup.
    // Its own part file: two backups of one day never write into each other.
    const QString part = partName(target);
    WorkTracker work(progress);
    QString error;
    if (!writeFile(source, part, withPictures, &error, work)) {
        removePart(part);
        return work.result(false, error);
    }
    if (std::rename(QFile::encodeName(part).constData(), QFile::encodeName(target).constData()) !=
        0) {
        error = QString::fromLocal8Bit(std::strerror(errno));
        removePart(part);
        return WorkResult::failed(error);
    }
    work.report(100);
    return WorkResult::done();
}

QMap<QString, QString> header(const QString &file, QString *error)
{
    BackupReader reader(AppHome::path(QStringLiteral("back")));
    const WorkResult opened = reader.open(file);
    *error = opened.reason();
    return opened.isDone() ? reader.header() : QMap<QString, QString>();
}

QString partName(const QString &target)
{
    return target + u'.' + QUuid::createUuid().toString(QUuid::WithoutBraces) +
           QStringLiteral(".part");
}

void removePart(const QString &part)
{
    for (const char *side : {"", "-journal", "-wal", "-shm"})
        QFile::remove(part + QLatin1String(side));
}

void removeStaleFiles(TdmData &dm)
{
    static const QRegularExpression ours(
        QStringLiteral("^.+\\.(back|xlsx)\\.[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-"
                       "[0-9a-f]{12}\\.part(-journal|-wal|-shm)?$"));
    QStringList folders{storedFolder(dm), AppHome::path(QStringLiteral("back")),
                        AppHome::path(QStringLiteral("export"))};
    if (dm.source().engine == Engine::SQLite)
        folders << workFolder(dm.source());
    folders.removeDuplicates();
    // Work still under way in another copy of the program is younger than that.
    const QDateTime before = QDateTime::currentDateTime().addDays(-1);
    for (const QString &folder : std::as_const(folders)) {
        QDirIterator files(folder, QDir::Files | QDir::Hidden | QDir::System);
        while (files.hasNext()) {
            const QFileInfo file(files.next());
            if (!file.isSymLink() && file.isFile() && ours.match(file.fileName()).hasMatch() &&
                file.lastModified() < before && !QFile::remove(file.filePath()))
                qWarning("cannot remove the stale file %s", qPrintable(file.filePath()));
        }
    }
}

} // namespace Backup
