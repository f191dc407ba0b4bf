#include "core/RegularFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool openRegularFile(QFile &file, const QString &path, QString *why)
{
    const auto fail = [why](const QString &reason) {
        if (why)
            *why = reason;
        return false;
    };
    // The program's own resources are no files on disk.
    if (path.startsWith(u':')) {
        file.setFileName(path);
        return file.open(QIODevice::ReadOnly) || fail(file.errorString());
    }
    // Without O_NONBLOCK, opening a FIFO waits for a writer that may never come.
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
    struct stat status;
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return fail(QStringLiteral("不是普通文件"));
    }
    if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0 ||
        !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        ::close(fd);
        return fail(reason);
    }
    return true;
}
