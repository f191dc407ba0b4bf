#include "core/DataSource.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

bool DataSource::isServerUrl(const QString &ds)
{
    const QString t = ds.trimmed();
    return t.startsWith(u"postgresql://", Qt::CaseInsensitive) ||
           t.startsWith(u"postgres://", Qt::CaseInsensitive);
}

DataSource DataSource::fromDs(const QString &ds, const QString &homeDir)
{
    DataSource source;
    const QString value = ds.trimmed();
    if (isServerUrl(value)) {
        const QUrl url(value);
        source.engine = Engine::PostgreSQL;
        source.host = url.host().isEmpty() ? QStringLiteral("localhost") : url.host();
        source.port = url.port(5432);
        source.database = url.path().mid(1);
        source.user = url.userName();
        source.password = url.password();
        return source;
    }
    QString folder = value;
    if (folder.isEmpty()) {
        folder = QDir(homeDir).filePath(QStringLiteral("data"));
        source.isDefaultFolder = true;
    } else if (QFileInfo(folder).isRelative()) {
        folder = QDir(homeDir).filePath(folder);
    }
    source.sqliteFile =
        QDir::cleanPath(QDir(folder).absoluteFilePath(QString::fromLatin1(kDatabaseFileName)));
    return source;
}

QString DataSource::serverUrl(const QString &host, int port, const QString &database,
                              const QString &user, const QString &password)
{
    QUrl url;
    url.setScheme(QStringLiteral("postgresql"));
    url.setHost(host.trimmed());
    url.setPort(port);
    url.setPath(u'/' + database.trimmed());
    url.setUserName(user.trimmed());
    if (!password.isEmpty())
        url.setPassword(password);
    return url.toString();
}

QString DataSource::describe() const
{
    if (engine == Engine::SQLite)
        return QDir::toNativeSeparators(sqliteFile);
    return QStringLiteral("%1@%2:%3/%4").arg(user, host).arg(port).arg(database);
}
