#include "core/PgPass.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QObject>
#include <QStringList>
#include <QUuid>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace PgPass {

namespace {

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

// Writes `bytes` as `file` through a new 0600 file renamed over it: never a moment when the
// password is in a file others may read, nor a half-written file.
bool replaceFile(const QString &file, const QByteArray &bytes, QString *error)
{
    const QString part =
        file + u'.' + QUuid::createUuid().toString(QUuid::WithoutBraces) + QStringLiteral(".new");
    const QByteArray partName = QFile::encodeName(part);
    const int fd = ::open(partName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        *error = systemError();
        return false;
    }
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + written, size_t(bytes.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        written += n;
    }
    const bool ok = written == bytes.size() && ::fsync(fd) == 0;
    if (!ok)
        *error = systemError();
    ::close(fd);
    if (ok && ::rename(partName.constData(), QFile::encodeName(file).constData()) == 0)
        return true;
    if (ok)
        *error = systemError();
    ::unlink(partName.constData());
    return false;
}

} // namespace

QString filePath()
{
    const QString set = qEnvironmentVariable("PGPASSFILE");
    if (!set.isEmpty())
        return set;
    return QDir(QDir::homePath()).filePath(QStringLiteral(".pgpass"));
}

QString escaped(const QString &field)
{
    QString out;
    for (const QChar c : field) {
        if (c == u':' || c == u'\\')
            out += u'\\';
        out += c;
    }
    return out;
}

bool store(const QString &host, int port, const QString &database, const QString &user,
           const QString &password, QString *error)
{
    const QString file = filePath();
    const QString key = QStringList{escaped(host), QString::number(port), escaped(database),
                                    escaped(user), QString()}
                            .join(u':');
    QStringList lines;
    QFile existing(file);
    if (existing.exists()) {
        if (!existing.open(QIODevice::ReadOnly)) {
            *error = QObject::tr("无法读取密码文件“%1”：%2")
                         .arg(QDir::toNativeSeparators(file), existing.errorString());
            return false;
        }
        lines = QString::fromUtf8(existing.readAll()).split(u'\n');
        existing.close();
        if (!lines.isEmpty() && lines.constLast().isEmpty())
            lines.removeLast();
    }
    // The first matching line wins when the library reads the file: the new one replaces it.
    const auto at = std::find_if(lines.begin(), lines.end(),
                                 [&key](const QString &line) { return line.startsWith(key); });
    const QString line = key + escaped(password);
    if (at != lines.end())
        *at = line;
    else
        lines << line;
    if (!replaceFile(file, (lines.join(u'\n') + u'\n').toUtf8(), error)) {
        *error =
            QObject::tr("无法保存密码文件“%1”：%2").arg(QDir::toNativeSeparators(file), *error);
        return false;
    }
    return true;
}

} // namespace PgPass
