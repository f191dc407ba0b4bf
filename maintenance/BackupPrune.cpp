#include "maintenance/BackupPrune.h"

#include "core/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <unistd.h>

namespace {

bool holdsSqliteDatabase(const QString &path)
{
    QFile file;
    return openRegularFile(file, path) && file.read(16) == QByteArray("SQLite format 3", 16);
}

} // namespace

namespace BackupPrune {

QStringList removeOld(const QString &folder, int keepDays, const QDate &today)
{
    QStringList removed;
    if (keepDays <= 0)
        return removed;
    static const QRegularExpression daily(QStringLiteral("^dp(\\d{8})\\.back$"));
    const QFileInfoList entries =
        QDir(folder).entryInfoList(QDir::Files | QDir::System, QDir::Name);
    for (const QFileInfo &entry : entries) {
        const QRegularExpressionMatch match = daily.match(entry.fileName());
        if (!match.hasMatch() || entry.isSymLink() || entry.ownerId() != ::getuid())
            continue;
        const QDate day = QDate::fromString(match.captured(1), QStringLiteral("yyyyMMdd"));
        if (!day.isValid() || day.daysTo(today) <= keepDays)
            continue;
        if (!holdsSqliteDatabase(entry.filePath()))
            continue;
        if (QFile::remove(entry.filePath()))
            removed << entry.filePath();
        else
            qWarning("old backup not removed: %s", qPrintable(entry.filePath()));
    }
    return removed;
}

} // namespace BackupPrune
