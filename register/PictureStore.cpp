#include "register/PictureStore.h"

#include "core/DataDm.h"
#include "core/RegularFile.h"
#include "core/Transaction.h"
#include "register/PictureName.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSqlQuery>
#include <functional>

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

const QString kTable = QStringLiteral("T_ImageREC");

// One picture row's change, journaled, in a transaction of its own.
bool write(TdmData &dm, const QString &kind,
           const std::function<bool(RecordWriter &, QString *)> &change, QString *error)
{
    Transaction transaction(dm.database());
    if (!transaction.began(error))
        return false;
    RecordWriter writer = dm.writer(kind, QStringLiteral("图片"));
    return change(writer, error) && transaction.commit(error);
}

bool update(TdmData &dm, qint64 id, const QVariantMap &values, QString *error)
{
    return write(
        dm, Journal::kChanged,
        [&](RecordWriter &writer, QString *reason) {
            return writer.update(kTable, id, values, reason);
        },
        error);
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
    std::optional<qint64> key;
    const QVariantMap values{
        {QStringLiteral("F_mainID"), sampleId},
        {QStringLiteral("F_imagePath"), PictureName::storedPath(name, extension)},
        {QStringLiteral("F_fileName"), name},
        {QStringLiteral("F_fileExt"), extension}};
    if (!write(
            dm, Journal::kAdded,
            [&](RecordWriter &writer, QString *reason) {
                key = writer.insert(kTable, values, reason);
                return key.has_value();
            },
            error))
        return std::nullopt;
    return key;
}

bool remove(TdmData &dm, const PictureRecord &picture, QString *error)
{
    return removeFileUnlessShared(dm, picture, error) &&
           write(
               dm, Journal::kDeleted,
               [&](RecordWriter &writer, QString *reason) {
                   return writer.remove(kTable, picture.id, reason);
               },
               error);
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
    return update(dm, picture.id,
                  {{QStringLiteral("F_fileName"), name},
                   {QStringLiteral("F_imagePath"), PictureName::storedPath(name, picture.fileExt)}},
                  error);
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
    return update(
        dm, picture.id,
        {{QStringLiteral("F_fileExt"), extension},
         {QStringLiteral("F_imagePath"), PictureName::storedPath(picture.fileName, extension)}},
        error);
}

} // namespace PictureStore
