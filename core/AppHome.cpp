#include "core/AppHome.h"

#include "core/OwnerOnly.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

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

void installShippedFiles()
{
    OwnerOnly::makeFolder(g_home);
    const QString root = QStringLiteral(":/home");
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
