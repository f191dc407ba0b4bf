#include "register/FolderPictureStore.h"

#include "core/RegularFile.h"
#include "core/Transaction.h"
#include "register/PictureName.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

bool FolderPictureStore::holds(const QString &name, const QString &extension) const
{
    const QString file = PictureName::filePath(name, extension);
    return !file.isEmpty() && QFileInfo::exists(file);
}

bool FolderPictureStore::isShared(const PictureRecord &picture)
{
    QSqlQuery q(m_db);
    q.prepare(QStringLiteral("select count(*) from T_ImageREC where F_fileName = ? "
                             "and F_fileExt = ? and F_ID <> ?"));
    q.addBindValue(picture.fileName);
    q.addBindValue(picture.fileExt);
    q.addBindValue(picture.id);
    // When in doubt the file stays.
    return !q.exec() || !q.next() || q.value(0).toLongLong() > 0;
}

bool FolderPictureStore::removeFileUnlessShared(const PictureRecord &picture, QString *error)
{
    const QString file = picture.file();
    if (file.isEmpty() || !QFileInfo::exists(file) || isShared(picture))
        return true;
    QFile f(file);
    if (f.remove())
        return true;
    *error = f.errorString();
    return false;
}

std::optional<qint64> FolderPictureStore::add(qint64 sampleId, const QString &name,
                                              const QString &source, bool replaceFile,
                                              QString *error)
{
    const QString extension = PictureName::extensionOf(source);
    const QString target = PictureName::filePath(name, extension);
    if (target.isEmpty()) {
        *error = PictureName::problem(name, extension);
        return std::nullopt;
    }
    if (const QString refused = refusal(source); !refused.isEmpty()) {
        *error = refused;
        return std::nullopt;
    }
    if ((replaceFile || !QFileInfo::exists(target)) && !copyPictureFile(source, target, error))
        return std::nullopt;
    QSqlQuery q(m_db);
    q.prepare(QStringLiteral("insert into T_ImageREC(F_mainID,F_imagePath,F_fileName,F_fileExt) "
                             "values(?, ?, ?, ?)"));
    for (const QVariant &v :
         QVariantList{sampleId, PictureName::storedPath(name, extension), name, extension})
        q.addBindValue(v);
    if (!q.exec()) {
        *error = q.lastError().text();
        return std::nullopt;
    }
    return q.lastInsertId().toLongLong();
}

bool FolderPictureStore::replace(const PictureRecord &picture, const QString &source,
                                 QString *error)
{
    const QString extension = PictureName::extensionOf(source);
    const QString target = PictureName::filePath(picture.fileName, extension);
    if (target.isEmpty()) {
        *error = PictureName::problem(picture.fileName, extension);
        return false;
    }
    if (const QString refused = refusal(source); !refused.isEmpty()) {
        *error = refused;
        return false;
    }
    if (!copyPictureFile(source, target, error))
        return false;
    if (target != picture.file() && !removeFileUnlessShared(picture, error))
        return false;
    return run(QStringLiteral("update T_ImageREC set F_fileExt = ?, F_imagePath = ? "
                              "where F_ID = ?"),
               {extension, PictureName::storedPath(picture.fileName, extension), picture.id},
               error);
}

bool FolderPictureStore::rename(const PictureRecord &picture, const QString &name, QString *error)
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
            isShared(picture) ? copyPictureFile(from, to, error) : QFile::rename(from, to);
        if (!moved) {
            if (error->isEmpty())
                *error = QStringLiteral("cannot rename %1").arg(from);
            return false;
        }
    }
    return run(
        QStringLiteral("update T_ImageREC set F_fileName = ?, F_imagePath = ? where F_ID = ?"),
        {name, PictureName::storedPath(name, picture.fileExt), picture.id}, error);
}

bool FolderPictureStore::remove(const PictureRecord &picture, QString *error)
{
    return removeFileUnlessShared(picture, error) &&
           run(QStringLiteral("delete from T_ImageREC where F_ID = ?"), {picture.id}, error);
}

std::unique_ptr<QIODevice> FolderPictureStore::open(const PictureRecord &picture, QString *error)
{
    const QString path = picture.file();
    if (path.isEmpty() || !QFileInfo::exists(path))
        return nullptr;
    auto file = std::make_unique<QFile>();
    if (!openRegularFile(*file, path, error))
        return nullptr;
    return file;
}

QString FolderPictureStore::localFile(const PictureRecord &picture, const QString &, QString *)
{
    const QString path = picture.file();
    return !path.isEmpty() && QFileInfo(path).isFile() ? path : QString();
}
