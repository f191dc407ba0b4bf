#include "core/MessageLog.h"

#include "core/OwnerOnly.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QRegularExpression>
#include <fcntl.h>
#include <unistd.h>

namespace {

QMutex g_mutex;
QString g_file;
QString g_operator;
QtMessageHandler g_previous = nullptr;

const char *levelName(QtMsgType type)
{
    switch (type) {
    case QtWarningMsg:
        return "warning";
    case QtCriticalMsg:
        return "error";
    case QtFatalMsg:
        return "fatal";
    default:
        return "info";
    }
}

void handler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg || type == QtCriticalMsg || type == QtFatalMsg) {
        QMutexLocker lock(&g_mutex);
        const QString who = g_operator.isEmpty() ? QStringLiteral("-") : g_operator;
        QString text = MessageLog::masked(message);
        text.replace(u'\n', u' ');
        const QString line = QStringLiteral("%1 %2 [%3] %4\n")
                                 .arg(QDateTime::currentDateTime().toString(
                                          QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")),
                                      QLatin1String(levelName(type)), who, text);
        MessageLog::append(g_file, line.toUtf8());
    }
    if (g_previous)
        g_previous(type, context, message);
}

QString numbered(const QString &path, int number)
{
    return number == 0 ? path : path + u'.' + QString::number(number);
}

} // namespace

namespace MessageLog {

void install(const QString &folder)
{
    {
        QMutexLocker lock(&g_mutex);
        g_file = QDir(folder).filePath(QStringLiteral("quorin.log"));
    }
    const QtMessageHandler before = qInstallMessageHandler(handler);
    if (before != handler)
        g_previous = before;
}

void setOperator(const QString &name)
{
    QMutexLocker lock(&g_mutex);
    g_operator = name;
}

bool append(const QString &path, const QByteArray &line, qint64 maxBytes, int files)
{
    if (!OwnerOnly::makeFolder(QFileInfo(path).path()))
        return false;
    const qint64 size = QFileInfo(path).size();
    if (size > 0 && size + line.size() > maxBytes) {
        QFile::remove(numbered(path, files - 1));
        for (int n = files - 2; n >= 0; --n)
            QFile::rename(numbered(path, n), numbered(path, n + 1));
    }
    // O_APPEND keeps whole lines when several copies of the program write one log; a link
    // put in its place is never written through.
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return false;
    const bool written = ::write(fd, line.constData(), size_t(line.size())) == line.size();
    ::close(fd);
    return written;
}

QString masked(const QString &text)
{
    static const QRegularExpression serverPassword(
        QStringLiteral("(postgres(?:ql)?://[^:/@\\s]*):[^@\\s]*@"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression passwordOption(QStringLiteral("(password\\s*=\\s*)[^\\s;]+"),
                                                   QRegularExpression::CaseInsensitiveOption);
    QString result = text;
    result.replace(serverPassword, QStringLiteral("\\1:***@"));
    result.replace(passwordOption, QStringLiteral("\\1***"));
    return result;
}

} // namespace MessageLog
