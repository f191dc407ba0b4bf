#include "core/Connection.h"

#include "core/DatabaseFault.h"
#include "core/OwnConnection.h"
#include "core/OwnerOnly.h"
#include "core/Schema.h"
#include "core/SearchIndex.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QObject>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <cerrno>
#include <cstring>
#include <sys/vfs.h>

namespace Connection {

namespace {

// Write-ahead logging needs every process on one host: on a network file system the rollback
// journal lets workstations on several machines share the file.
bool onNetworkFileSystem(const QString &folder)
{
    struct statfs info;
    if (statfs(QFile::encodeName(folder).constData(), &info) != 0)
        return false;
    switch (static_cast<unsigned long>(info.f_type)) {
    case 0x6969:     // NFS
    case 0x517B:     // SMB
    case 0xFF534D42: // CIFS
    case 0xFE534D42: // SMB2
    case 0x65735546: // FUSE (sshfs and the like)
    case 0x01021997: // 9P
    case 0x5346414F: // AFS
    case 0x00C36400: // Ceph
    case 0x73757245: // Coda
    case 0x564C:     // NCP
        return true;
    default:
        return false;
    }
}

// A new database appears under its name already a database, never as an empty file (which
// reads as one emptied by a bad copy); it replaces an empty file the user chose to replace.
bool placeNewDatabase(const QString &file, QString *error)
{
    const QString part =
        file + u'.' + QUuid::createUuid().toString(QUuid::WithoutBraces) + QStringLiteral(".new");
    bool ok = false;
    {
        OwnConnection made(OwnConnection::SqliteFile{part, {}}, QStringLiteral("new-database"));
        QSqlQuery header(made.db());
        ok = made.isOpen() && header.exec(QStringLiteral("pragma user_version=0"));
        if (!ok)
            *error = made.isOpen() ? header.lastError().text() : made.error();
    }
    // Its journal files take the database file's mode.
    if (ok && !OwnerOnly::restrict(part)) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
        ok = false;
    }
    if (ok &&
        ::rename(QFile::encodeName(part).constData(), QFile::encodeName(file).constData()) != 0) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
        ok = false;
    }
    QFile::remove(part);
    if (!ok)
        *error =
            QObject::tr("无法建立数据库文件“%1”：%2").arg(QDir::toNativeSeparators(file), *error);
    return ok;
}

// The program's data folder appears with its database in it: two copies starting for the
// first time at once both find one whole database, whichever made it.
bool placeFirstFolder(const QString &folder, QString *error)
{
    QDir made(folder + u'.' + QUuid::createUuid().toString(QUuid::WithoutBraces) +
              QStringLiteral(".new"));
    if (!OwnerOnly::makeFolder(made.path())) {
        *error = QObject::tr("无法建立数据文件夹“%1”。").arg(QDir::toNativeSeparators(folder));
        return false;
    }
    bool ok = placeNewDatabase(made.filePath(QString::fromLatin1(kDatabaseFileName)), error);
    if (ok &&
        ::rename(QFile::encodeName(made.path()).constData(),
                 QFile::encodeName(folder).constData()) != 0 &&
        !QFileInfo::exists(QDir(folder).filePath(QString::fromLatin1(kDatabaseFileName)))) {
        *error = QObject::tr("无法建立数据文件夹“%1”：%2")
                     .arg(QDir::toNativeSeparators(folder),
                          QString::fromLocal8Bit(std::strerror(errno)));
        ok = false;
    }
    made.removeRecursively();
    return ok;
}

bool openSqlite(const DataSource &source, const QString &connectionName, bool mayCreate,
                QSqlDatabase *db, QString *error)
{
    const QFileInfo file(source.sqliteFile);
    const QString where = QDir::toNativeSeparators(source.sqliteFile);
    // Only a first start (or the user's yes) makes a new register: after a wrong copy or a
    // moved file, typing into a new empty one would hide the real one.
    const bool firstStart = source.isDefaultFolder && !QFileInfo::exists(file.path());
    if (!file.exists() || file.size() == 0) {
        if (!mayCreate && !firstStart) {
            *error = file.exists()
                         ? QObject::tr("数据库文件“%1”是空的（0 字节），可能复制或保存时出了错。")
                               .arg(where)
                         : QObject::tr("数据库文件“%1”不存在。").arg(where);
            return false;
        }
        if (firstStart) {
            if (!placeFirstFolder(file.path(), error))
                return false;
        } else if (!OwnerOnly::makeFolder(file.path()) ||
                   !placeNewDatabase(source.sqliteFile, error)) {
            if (error->isEmpty())
                *error = QObject::tr("无法建立数据文件夹“%1”。")
                             .arg(QDir::toNativeSeparators(file.path()));
            return false;
        }
    }
    const bool readOnly =
        file.exists() && (!file.isWritable() || !QFileInfo(file.path()).isWritable());
    *db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
    db->setDatabaseName(source.sqliteFile);
    // Several copies of the program may share one file: wait for a writer, not fail.
    db->setConnectOptions(readOnly
                              ? QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000;QSQLITE_OPEN_READONLY")
                              : QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!db->open()) {
        *error = QObject::tr("无法打开数据库文件“%1”：%2").arg(where, db->lastError().text());
        return false;
    }
    // Reading the schema proves that the file is a database, whole at its start, and readable.
    // (Never read the file another way: closing any other descriptor of it would drop the
    // locks SQLite holds on it for this process's other connections.)
    QSqlQuery proof(*db);
    if (!proof.exec(QStringLiteral("select count(*) from sqlite_master")) || !proof.next()) {
        const QString reason = proof.lastError().text();
        const DatabaseFault::Kind kind = DatabaseFault::classify(reason);
        const bool notADatabase = reason.contains(QStringLiteral("file is not a database"));
        // Reading a write-ahead-log file needs its index file, which a read-only folder
        // cannot take: that file is whole, only out of reach.
        const bool outOfReach =
            readOnly && (kind == DatabaseFault::Kind::ReadOnly ||
                         reason.contains(QStringLiteral("unable to open database file")));
        *error = outOfReach ? DatabaseFault::message(DatabaseFault::Kind::ReadOnly, source, true)
                 : !notADatabase &&
                         (kind == DatabaseFault::Kind::Damaged || kind == DatabaseFault::Kind::Busy)
                     ? DatabaseFault::message(kind, source, true)
                     : QObject::tr("“%1”不是有效的数据库文件：%2").arg(where, reason);
        proof.finish();
        db->close();
        return false;
    }
    proof.finish();
    if (!SearchIndex::registerTokenizer(*db, error)) {
        db->close();
        return false;
    }
    // The journal is a property of the file: only ours (or a new one) is changed.
    int version = 0;
    QString ignored;
    const Schema::State state = Schema::inspect(*db, &version, &ignored);
    if (!readOnly && (state == Schema::State::Empty || state == Schema::State::Current ||
                      state == Schema::State::Older)) {
        const QString mode =
            onNetworkFileSystem(file.path()) ? QStringLiteral("delete") : QStringLiteral("wal");
        QSqlQuery pragma(*db);
        if (!pragma.exec(QStringLiteral("pragma journal_mode=") + mode)) {
            *error = DatabaseFault::classify(pragma.lastError().text()) == DatabaseFault::Kind::Busy
                         ? DatabaseFault::message(DatabaseFault::Kind::Busy, source, true)
                         : QObject::tr("无法打开数据库文件“%1”：%2")
                               .arg(where, pragma.lastError().text());
            pragma.finish();
            db->close();
            return false;
        }
    }
    return true;
}

} // namespace

bool open(const DataSource &source, const QString &connectionName, QSqlDatabase *db, QString *error)
{
    if (source.engine == Engine::SQLite)
        return openSqlite(source, connectionName, false, db, error);
    *db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connectionName);
    db->setHostName(source.host);
    db->setPort(source.port);
    db->setDatabaseName(source.database);
    db->setUserName(source.user);
    if (!source.password.isEmpty())
        db->setPassword(source.password);
    db->setConnectOptions(QStringLiteral("connect_timeout=5"));
    if (!db->open()) {
        *error = db->lastError().text();
        return false;
    }
    return true;
}

bool isReadOnly(const QSqlDatabase &db)
{
    return db.connectOptions().contains(QLatin1String("QSQLITE_OPEN_READONLY"));
}

bool createDatabase(const DataSource &source, QString *error)
{
    const QString name = QStringLiteral("create");
    bool ok = false;
    {
        QSqlDatabase db;
        ok = openSqlite(source, name, true, &db, error) &&
             Schema::ensure(db, SqlDialect(Engine::SQLite), error);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

QString findDamage(const DataSource &source)
{
    if (source.engine != Engine::SQLite)
        return {};
    QString problem;
    OwnConnection connection(source, QStringLiteral("quick-check"));
    if (connection.isOpen()) {
        QSqlQuery q(connection.db());
        if (!q.exec(QStringLiteral("pragma quick_check")))
            problem = q.lastError().text();
        // The row reads whole and its other columns can be saved.
        while (problem.isEmpty() && q.next()) {
            const QString line = q.value(0).toString();
            if (line != u"ok" && !line.startsWith(u"CHECK constraint failed in ") &&
                !line.startsWith(u"NULL value in "))
                problem = line;
        }
    }
    return problem;
}

bool probe(const DataSource &source, QString *report)
{
    bool usable = false;
    OwnConnection connection(source, QStringLiteral("probe"));
    if (!connection.isOpen()) {
        *report = QObject::tr("连接失败：%1").arg(connection.error());
        return false;
    }
    QSqlDatabase &db = connection.db();
    QString error;
    int version = 0;
    switch (Schema::inspect(db, &version, &error)) {
    case Schema::State::Empty:
        *report = QObject::tr("连接成功：这是一个空数据库，连接时将建立样品数据表。");
        usable = true;
        break;
    case Schema::State::Current:
        *report = QObject::tr("连接成功：数据库中已有样品数据。");
        usable = true;
        break;
    case Schema::State::Older:
        *report = QObject::tr("连接成功：数据库中已有样品数据，连接时将升级到本程序的版本。");
        usable = true;
        break;
    case Schema::State::Foreign:
        *report = QObject::tr("连接成功，但这不是样品数据库：其中已有别的数据表。");
        break;
    case Schema::State::Newer:
        *report = QObject::tr("连接成功，但数据库的版本（%1）比本程序新。").arg(version);
        break;
    case Schema::State::Damaged:
        *report = QObject::tr("连接成功，但数据库的版本记录已损坏：%1").arg(error);
        break;
    }
    return usable;
}

} // namespace Connection
