#include "core/Connection.h"

#include "core/Schema.h"
#include "core/SearchIndex.h"

#include <QDir>
#include <QFileInfo>
#include <QObject>
#include <QSqlError>
#include <QSqlQuery>

namespace Connection {

bool open(const DataSource &source, const QString &connectionName, QSqlDatabase *db, QString *error)
{
    if (source.engine == Engine::SQLite) {
        const QFileInfo file(source.sqliteFile);
        if (!file.exists()) {
            if (!source.isDefaultFolder) {
                *error = QObject::tr("文件夹“%1”中没有数据库文件 %2。")
                             .arg(QDir::toNativeSeparators(file.path()),
                                  QString::fromLatin1(kDatabaseFileName));
                return false;
            }
            if (!QDir().mkpath(file.path())) {
                *error = QObject::tr("无法建立数据文件夹“%1”。")
                             .arg(QDir::toNativeSeparators(file.path()));
                return false;
            }
        }
        *db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
        db->setDatabaseName(source.sqliteFile);
        // Several copies of the program may share one file: wait for a writer, not fail.
        db->setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    } else {
        *db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connectionName);
        db->setHostName(source.host);
        db->setPort(source.port);
        db->setDatabaseName(source.database);
        db->setUserName(source.user);
        if (!source.password.isEmpty())
            db->setPassword(source.password);
        db->setConnectOptions(QStringLiteral("connect_timeout=5"));
    }
    if (!db->open()) {
        *error = db->lastError().text();
        return false;
    }
    if (source.engine == Engine::SQLite) {
        // Also proves that the file is a database at all.
        QSqlQuery pragma(*db);
        if (!pragma.exec(QStringLiteral("pragma journal_mode=wal"))) {
            *error =
                QObject::tr("“%1”不是有效的数据库文件：%2")
                    .arg(QDir::toNativeSeparators(source.sqliteFile), pragma.lastError().text());
            db->close();
            return false;
        }
        if (!SearchIndex::registerTokenizer(*db, error)) {
            db->close();
            return false;
        }
    }
    return true;
}

bool probe(const DataSource &source, QString *report)
{
    const QString name = QStringLiteral("probe");
    bool usable = false;
    {
        QSqlDatabase db;
        QString error;
        if (!open(source, name, &db, &error)) {
            *report = QObject::tr("连接失败：%1").arg(error);
        } else {
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
                *report =
                    QObject::tr("连接成功：数据库中已有样品数据，连接时将升级到本程序的版本。");
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
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return usable;
}

} // namespace Connection
