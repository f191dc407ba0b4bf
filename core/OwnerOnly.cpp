#include "core/OwnerOnly.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace OwnerOnly {

bool makeFolder(const QString &folder)
{
    const QString path = QDir::cleanPath(QDir(folder).absolutePath());
    QStringList missing;
    for (QString at = path; !QFileInfo::exists(at); at = QFileInfo(at).path()) {
        missing.prepend(at);
        if (at == QFileInfo(at).path())
            break;
    }
    for (const QString &made : std::as_const(missing)) {
        if (::mkdir(QFile::encodeName(made).constData(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    return QFileInfo(path).isDir();
}

bool restrict(const QString &file)
{
    return ::chmod(QFile::encodeName(file).constData(), 0600) == 0;
}

bool prepare(const QString &file)
{
    const int fd =
        ::open(QFile::encodeName(file).constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

} // namespace OwnerOnly
