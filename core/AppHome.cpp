#include "core/AppHome.h"

#include "core/OwnerOnly.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace {
QString g_home;
QString g_shared;
QString g_cache;
} // namespace

namespace AppHome {

QString resolve(const QString &commandLineHome, const QString &defaultHome)
{
    QString chosen = commandLineHome;
    if (chosen.isEmpty())
        chosen = qEnvironmentVariable("QUORIN_HOME");
    if (chosen.isEmpty())
        chosen = defaultHome;
    return QDir::cleanPath(QDir(chosen).absolutePath());
}

void set(const QString &dir)
{
    g_home = QDir::cleanPath(QDir(dir).absolutePath());
}

QString dir()
{
    return g_home;
}

QString path(const QString &relative)
{
    return QDir(g_home).filePath(relative);
}

void setCache(const QString &dir)
{
    g_cache = dir;
}

QString cachePath(const QString &relative)
{
    return QDir(g_cache.isEmpty() ? path(QStringLiteral("cache")) : g_cache).filePath(relative);
}

void setShared(const QString &dir)
{
    g_shared = dir;
}

void installShippedFiles()
{
    OwnerOnly::makeFolder(g_home);
    const QString root = g_shared.isEmpty() ? QStringLiteral(":/home") : g_shared;
    QDirIterator shipped(root, QDir::Files, QDirIterator::Subdirectories);
    while (shipped.hasNext()) {
        const QString source = shipped.next();
        const QString target = path(source.mid(root.size() + 1));
        QDir().mkpath(QFileInfo(target).path());
        if (!QFileInfo::exists(target) && QFile::copy(source, target))
            QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                              QFile::ReadOther);
    }
}

} // namespace AppHome
