#include "core/AppHome.h"

#include <QDir>

namespace {
QString g_home;
}

namespace AppHome {

QString resolve(const QString &commandLineHome, const QString &executableDir)
{
    QString chosen = commandLineHome;
    if (chosen.isEmpty())
        chosen = qEnvironmentVariable("QUORIN_HOME");
    if (chosen.isEmpty())
        chosen = executableDir;
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

} // namespace AppHome
