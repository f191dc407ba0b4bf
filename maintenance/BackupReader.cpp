#include "maintenance/BackupReader.h"

#include "core/OwnerOnly.h"
#include "core/SearchIndex.h"
#include "core/SqliteStatement.h"
#include "core/TableCopy.h"
#include "maintenance/Backup.h"
#include "maintenance/BackupPictures.h"

#include <QDir>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qint64 kChunk = 1 << 20;
// A header of ours has a dozen or two rows.
constexpr int kHeaderRows = 1000;

QString native(const QString &file)
{
    return QDir::toNativeSeparators(file);
}

QString notOurs(const QString &file)
{
    return QObject::tr("“%1”不是本程序的备份文件。").arg(native(file));
}

QString damaged(const QString &reason)
{
    return QObject::tr("备份文件已损坏：%1").arg(reason);
}

QString incomplete(const QString &table)
{
    return damaged(QObject::tr("数据表 %1 不完整。").arg(table));
}

QString unlike(const QString &table)
{
    return QObject::tr("备份文件不能恢复：其中的数据表 %1 与本程序的不符。").arg(table);
}

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

bool writeAll(int fd, const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size_t(size));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= written;
    }
    return true;
}

// The same text whatever its spacing, case and quoting, to tell a redefined table.
QString normalised(QString sql)
{
    sql = sql.toLower();
    sql.removeIf([](QChar c) { return c.isSpace() || c == u'"' || c == u'`'; });
    return sql;
}

// Name → normalised statement of everything our own schema of `version` makes in a file.
QMap<QString, QString> ourObjects(int version)
{
    QMap<QString, QString> objects;
    {
        OwnConnection memory(OwnConnection::SqliteFile{QStringLiteral(":memory:"), {}},
                             QStringLiteral("backup-ours"));
        QSqlDatabase &db = memory.db();
        QString error;
        if (memory.isOpen() && SearchIndex::registerTokenizer(db, &error)) {
            QSqlQuery q(db);
            const SqlDialect sqlite(Engine::SQLite);
            for (const QString &sql : Schema::tableStatements(sqlite, version) +
                                          Schema::indexStatements(version) +
                                          SearchIndex::createStatements(sqlite))
                q.exec(sql);
            q.exec(QStringLiteral("select name, coalesce(sql, '') from sqlite_master"));
            while (q.next())
                objects.insert(q.value(0).toString().toLower(), normalised(q.value(1).toString()));
        }
    }
    return objects;
}

} // namespace

SqliteWatch::SqliteWatch(const QSqlDatabase &db, std::function<bool()> keepGoing)
    : m_handle(SqliteStatement::connectionOf(db)), m_keepGoing(std::move(keepGoing))
{
    if (m_handle && m_keepGoing) {
        sqlite3_progress_handler(
            m_handle, 20000,
            [](void *self) { return static_cast<SqliteWatch *>(self)->m_keepGoing() ? 0 : 1; },
            this);
    }
}

SqliteWatch::~SqliteWatch()
{
    if (m_handle)
        sqlite3_progress_handler(m_handle, 0, nullptr, nullptr);
}

BackupReader::BackupReader(const QString &workFolder) : m_workFolder(workFolder) {}

BackupReader::~BackupReader()
{
    close();
}

void BackupReader::close()
{
    m_connection.reset();
    if (!m_copy.isEmpty()) {
        Backup::removePart(m_copy);
        m_copy.clear();
    }
}

WorkResult BackupReader::open(const QString &file, const WorkProgress &progress)
{
    close();
    m_file = file;
    WorkTracker work(progress);
    int percent = 0;
    const auto keepGoing = [&] { return work.report(percent); };
    QString error;
    if (!copyFile(file, &error, work))
        return work.result(false, error);
    percent = 60;
    if (!openCopy(&error))
        return WorkResult::failed(error);
    QSqlDatabase &db = m_connection->db();
    SqliteWatch watch(db, keepGoing);
    QSqlQuery check(db);
    if (!check.exec(QStringLiteral("pragma quick_check")) || !check.next() ||
        check.value(0).toString() != u"ok")
        return work.result(false, damaged(check.isActive() ? check.value(0).toString()
                                                           : check.lastError().text()));
    check.finish();
    percent = 80;
    if (!readObjects(&error) || !readHeader(&error))
        return WorkResult::failed(error);
    if (m_header.value(QStringLiteral("format")) != u"1" || m_version < 1)
        return WorkResult::failed(notOurs(file));
    if (m_version > Schema::kVersion)
        return WorkResult::failed(
            QObject::tr("备份文件的版本（%1）比本程序（%2）新，请使用新版程序恢复。")
                .arg(m_version)
                .arg(Schema::kVersion));
    if (!matchTables(&error))
        return work.result(false, error);
    // Pictures are checked against their hashes as rows are counted against the header.
    if (m_version >= Schema::table(QStringLiteral("T_Picture"))->since &&
        !BackupPictures::check(db, &error, [&keepGoing](int) { return keepGoing(); }))
        return work.result(false, damaged(error));
    logForeignObjects();
    percent = 100;
    return work.result(keepGoing(), {});
}

// Only a regular file is read, through the descriptor that was checked: a FIFO, a device or a
// file swapped in afterwards never reaches SQLite. No more than its size at opening is read.
bool BackupReader::copyFile(const QString &file, QString *error, WorkTracker &work)
{
    const int in =
        ::open(QFile::encodeName(file).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (in < 0) {
        *error = QObject::tr("无法读取“%1”：%2").arg(native(file), systemError());
        return false;
    }
    struct stat status = {};
    if (::fstat(in, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(in);
        *error = QObject::tr("“%1”不是普通文件，不能用来恢复。").arg(native(file));
        return false;
    }
    char magic[16] = {};
    if (::read(in, magic, sizeof magic) != ssize_t(sizeof magic) ||
        std::memcmp(magic, "SQLite format 3\0", sizeof magic) != 0) {
        ::close(in);
        *error = notOurs(file);
        return false;
    }
    if (!OwnerOnly::makeFolder(m_workFolder)) {
        ::close(in);
        *error = QObject::tr("无法建立文件夹“%1”。").arg(native(m_workFolder));
        return false;
    }
    m_copy = Backup::partName(QDir(m_workFolder).filePath(QStringLiteral("restore.back")));
    const int out = ::open(QFile::encodeName(m_copy).constData(),
                           O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (out < 0) {
        *error = QObject::tr("无法在“%1”中准备恢复：%2").arg(native(m_workFolder), systemError());
        m_copy.clear();
        ::close(in);
        return false;
    }
    bool ok = writeAll(out, magic, sizeof magic);
    QByteArray buffer(kChunk, Qt::Uninitialized);
    const qint64 size = status.st_size;
    qint64 done = sizeof magic;
    while (ok && done < size) {
        const ssize_t got =
            ::read(in, buffer.data(), size_t(std::min<qint64>(kChunk, size - done)));
        if (got < 0 && errno == EINTR)
            continue;
        // A file cut short while it is read is not whole.
        if (got <= 0) {
            ok = false;
            break;
        }
        ok = writeAll(out, buffer.constData(), got);
        done += got;
        if (ok && !work.report(int(done * 60 / size))) {
            ::close(out);
            ::close(in);
            return false;
        }
    }
    if (!ok)
        *error = QObject::tr("无法在“%1”中准备恢复：%2").arg(native(m_workFolder), systemError());
    ok = ::close(out) == 0 && ok;
    ::close(in);
    return ok;
}

// Read-only and immutable; no trigger or view of the file can run, nor any function named in
// its schema, and its checks are not evaluated.
bool BackupReader::openCopy(QString *error)
{
    m_connection.emplace(
        OwnConnection::SqliteFile{QUrl::fromLocalFile(m_copy).toString(QUrl::FullyEncoded) +
                                      QStringLiteral("?immutable=1"),
                                  QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_OPEN_URI")},
        QStringLiteral("backup-reader"));
    if (!m_connection->isOpen()) {
        *error = damaged(m_connection->error());
        return false;
    }
    sqlite3 *handle = SqliteStatement::connectionOf(m_connection->db());
    for (const int option : {SQLITE_DBCONFIG_TRUSTED_SCHEMA, SQLITE_DBCONFIG_ENABLE_TRIGGER,
                             SQLITE_DBCONFIG_ENABLE_VIEW})
        sqlite3_db_config(handle, option, 0, nullptr);
    sqlite3_db_config(handle, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    QSqlQuery q(m_connection->db());
    if (!q.exec(QStringLiteral("pragma ignore_check_constraints = on"))) {
        *error = damaged(q.lastError().text());
        return false;
    }
    return true;
}

bool BackupReader::readObjects(QString *error)
{
    m_objects.clear();
    QSqlQuery q(m_connection->db());
    if (!q.exec(QStringLiteral("select type, name, coalesce(sql, '') from sqlite_master"))) {
        *error = damaged(q.lastError().text());
        return false;
    }
    while (q.next()) {
        const Object object{q.value(0).toString(), q.value(1).toString(), q.value(2).toString()};
        m_objects.insert(object.name.toLower(), object);
    }
    return true;
}

// A table, stored as rows: not a view, not a virtual table whose module would run.
bool BackupReader::isPlainTable(const QString &name) const
{
    const auto it = m_objects.constFind(name.toLower());
    return it != m_objects.cend() && it->type == u"table" &&
           !normalised(it->sql).startsWith(QStringLiteral("createvirtual"));
}

bool BackupReader::readHeader(QString *error)
{
    m_header.clear();
    QSqlQuery q(m_connection->db());
    if (!isPlainTable(QStringLiteral("backup_header")) ||
        !q.exec(
            QStringLiteral("select F_key, F_value from backup_header limit %1").arg(kHeaderRows))) {
        *error = notOurs(m_file);
        return false;
    }
    while (q.next())
        m_header.insert(q.value(0).toString(), q.value(1).toString());
    m_version = m_header.value(QStringLiteral("schema")).toInt();
    return true;
}

bool BackupReader::matchTables(QString *error)
{
    m_tables = Schema::tablesOf(m_version);
    QSqlQuery q(m_connection->db());
    for (const Schema::Table &t : m_tables) {
        const QString name = QLatin1String(t.name);
        if (!m_objects.contains(name.toLower())) {
            *error = incomplete(name);
            return false;
        }
        if (!isPlainTable(name)) {
            *error = unlike(name);
            return false;
        }
        // Hidden and generated columns would be computed by the file's expressions.
        QMap<QString, int> columns;
        if (!q.exec(QStringLiteral("pragma table_xinfo(%1)").arg(name))) {
            *error = damaged(q.lastError().text());
            return false;
        }
        while (q.next())
            columns.insert(q.value(1).toString().toLower(), q.value(6).toInt());
        for (const Schema::Column &c : t.columns) {
            const QString column = QString::fromLatin1(c.name).toLower();
            if (columns.value(column, -1) != 0) {
                *error = unlike(name);
                return false;
            }
            columns.remove(column);
        }
        for (auto it = columns.cbegin(); it != columns.cend(); ++it)
            qWarning("backup file: column %s of table %s is not the program's; ignored",
                     qPrintable(it.key()), qPrintable(name));
        if (!q.exec(QStringLiteral("select count(*) from %1").arg(name)) || !q.next() ||
            q.value(0).toString() != m_header.value(QStringLiteral("rows.") + name.toLower())) {
            *error = incomplete(name);
            return false;
        }
    }
    return true;
}

void BackupReader::logForeignObjects() const
{
    const QMap<QString, QString> ours = ourObjects(m_version);
    for (const Object &object : m_objects) {
        const QString name = object.name.toLower();
        if (name == u"backup_header" || name.startsWith(u"sqlite_"))
            continue;
        const auto it = ours.constFind(name);
        if (it == ours.cend())
            qWarning("backup file: %s %s is not the program's; ignored", qPrintable(object.type),
                     qPrintable(object.name));
        else if (*it != normalised(object.sql))
            qWarning("backup file: %s %s differs from the program's; only its rows are read",
                     qPrintable(object.type), qPrintable(object.name));
    }
}

bool BackupReader::copyTables(QSqlDatabase &into, QString *error, const WorkProgress &progress)
{
    qint64 total = 0;
    for (const Schema::Table &t : m_tables)
        total += m_header.value(QStringLiteral("rows.") + QString::fromLatin1(t.name).toLower())
                     .toLongLong();
    total = std::max<qint64>(total, 1);
    qint64 before = 0;
    for (const Schema::Table &t : m_tables) {
        qint64 copied = 0;
        const bool ok = TableCopy::fileToFile(m_connection->db(), into, t, error, [&](qint64 rows) {
            copied = rows;
            return !progress || progress(int(std::min(before + rows, total) * 100 / total));
        });
        if (!ok)
            return false;
        before += copied;
    }
    return true;
}
