#include "core/AppPaths.h"

#include <QDir>
#include <QFileInfo>

namespace {

// A base folder from the environment; the XDG rules ignore relative paths.
QString xdgFolder(const char *variable, const QString &fallbackBelowHome)
{
    const QString set = qEnvironmentVariable(variable);
    if (!set.isEmpty() && QDir::isAbsolutePath(set))
        return QDir::cleanPath(set);
    return QDir::cleanPath(QDir::homePath() + u'/' + fallbackBelowHome);
}

} // namespace

namespace AppPaths {

QString sharedFolder(const QString &executableDir)
{
    const QString shared =
        QDir::cleanPath(QDir(executableDir).filePath(QStringLiteral(QUORIN_SHARED_FROM_BIN)));
    return QFileInfo(shared).isDir() ? shared : QString();
}

QString defaultHome(const QString &executableDir)
{
    if (sharedFolder(executableDir).isEmpty())
        return executableDir;
    return xdgFolder("XDG_DATA_HOME", QStringLiteral(".local/share")) + QStringLiteral("/quorin");
}

QString logFolder(const QString &executableDir, const QString &home)
{
    if (sharedFolder(executableDir).isEmpty())
        return home;
    return xdgFolder("XDG_STATE_HOME", QStringLiteral(".local/state")) + QStringLiteral("/quorin");
}

QString cacheFolder(const QString &executableDir, const QString &home)
{
    if (sharedFolder(executableDir).isEmpty())
        return QDir(home).filePath(QStringLiteral("cache"));
    return xdgFolder("XDG_CACHE_HOME", QStringLiteral(".cache")) + QStringLiteral("/quorin");
}

QStringList systemConfigFiles()
{
    QStringList folders = qEnvironmentVariable("XDG_CONFIG_DIRS").split(u':', Qt::SkipEmptyParts);
    if (folders.isEmpty())
        folders << QStringLiteral("/etc/xdg");
    QStringList files;
    for (const QString &folder : std::as_const(folders)) {
        const QString file = QDir(folder).filePath(QStringLiteral("quorin/config.ini"));
        if (QDir::isAbsolutePath(folder) && QFileInfo(file).isFile())
            files << QDir::cleanPath(file);
    }
    return files;
}

} // namespace AppPaths
