#include "register/PictureStore.h"

#include "core/DataDm.h"
#include "core/RegularFile.h"
#include "register/PictureName.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSqlQuery>

QString PictureRecord::file() const
{
    return PictureName::filePath(fileName, fileExt);
}

namespace PictureStore {

namespace {

bool isShared(TdmData &dm, const PictureRecord &picture)
{
    QString error;
    QSqlQuery q = dm.runQuiet(QStringLiteral("select count(*) from T_ImageREC where F_fileName = ? "
                                             "and F_fileExt = ? and F_ID <> ?"),
                              {picture.fileName, picture.fileExt, picture.id}, &error);
    // When in doubt the file stays.
    return !q.next() || q.value(0).toLongLong() > 0;
}

bool removeFileUnlessShared(TdmData &dm, const PictureRecord &picture, QString *error)
{
    const QString file = picture.file();
    if (file.isEmpty() || !QFileInfo::exists(file) || isShared(dm, picture))
        return true;
    QFile f(file);
    if (f.remove())
        return true;
    *error = f.errorString();
    return false;
}

bool sameFile(const QString &a, const QString &b)
{
    const QString canonical = QFileInfo(a).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath();
}

bool run(TdmData &dm, const QString &sql, const QVariantList &values, QString *error)
{
    return dm.runQuiet(sql, values, error).isActive();
}

} // namespace

QList<PictureRecord> picturesOf(TdmData &dm, qint64 sampleId)
{
    QSqlQuery q;
    QList<PictureRecord> pictures;
    if (!dm.OpenSql(q,
                    QStringLiteral("select F_ID, F_fileName, F_fileExt from T_ImageREC "
                                   "where F_mainID = ? order by F_ID"),
                    {sampleId}))
        return pictures;
    while (q.next())
        pictures << PictureRecord{q.value(0).toLongLong(), q.value(1).toString(),
                                  q.value(2).toString()};
    return pictures;
}

bool copyFile(const QString &source, const QString &target, QString *error)
{
    if (sameFile(source, target))
        return true;
    QDir().mkpath(QFileInfo(target).absolutePath());
    QFile in;
    if (!openRegularFile(in, source, error))
        return false;
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly)) {
        *error = out.errorString();
        return false;
    }
    char buffer[1 << 16];
    for (qint64 n; (n = in.read(buffer, sizeof buffer)) > 0;) {
        if (out.write(buffer, n) != n)
            break;
    }
    if (in.error() != QFileDevice::NoError) {
        out.cancelWriting();
        *error = in.errorString();
        return false;
    }
    if (!out.commit()) {
        *error = out.errorString();
        return false;
    }
    return true;
}

std::optional<qint64> insert(TdmData &dm, qint64 sampleId, const QString &name,
                             const QString &extension, QString *error)
{
    return dm.insertQuiet(QStringLiteral("insert into T_ImageREC(F_mainID,F_imagePath,F_fileName,"
                                         "F_fileExt) values(?, ?, ?, ?)"),
                          {sampleId, PictureName::storedPath(name, extension), name, extension},
                          error);
}

bool remove(TdmData &dm, const PictureRecord &picture, QString *error)
{
    return removeFileUnlessShared(dm, picture, error) &&
           run(dm, QStringLiteral("delete from T_ImageREC where F_ID = ?"), {picture.id}, error);
}

bool rename(TdmData &dm, const PictureRecord &picture, const QString &name, QString *error)
{
    const QString from = picture.file();
    const QString to = PictureName::filePath(name, picture.fileExt);
    if (to.isEmpty()) {
        *error = PictureName::problem(name, picture.fileExt);
        return false;
    }
    if (!from.isEmpty() && QFileInfo::exists(from)) {
        if (QFileInfo::exists(to)) {
            *error = QStringLiteral("%1 exists").arg(to);
            return false;
        }
        // A file another record also names stays where it is for that record.
        const bool moved =
            isShared(dm, picture) ? copyFile(from, to, error) : QFile::rename(from, to);
        if (!moved) {
            if (error->isEmpty())
                *error = QStringLiteral("cannot rename %1").arg(from);
            return false;
        }
    }
    return run(
        dm, QStringLiteral("update T_ImageREC set F_fileName = ?, F_imagePath = ? where F_ID = ?"),
        {name, PictureName::storedPath(name, picture.fileExt), picture.id}, error);
}

bool replace(TdmData &dm, const PictureRecord &picture, const QString &source, QString *error)
{
    const QString extension = PictureName::extensionOf(source);
    const QString target = PictureName::filePath(picture.fileName, extension);
    if (target.isEmpty()) {
        *error = PictureName::problem(picture.fileName, extension);
        return false;
    }
    if (!copyFile(source, target, error))
        return false;
    if (target != picture.file() && !removeFileUnlessShared(dm, picture, error))
        return false;
    return run(
        dm, QStringLiteral("update T_ImageREC set F_fileExt = ?, F_imagePath = ? where F_ID = ?"),
        {extension, PictureName::storedPath(picture.fileName, extension), picture.id}, error);
}

} // namespace PictureStore
