#include "register/ServerPictureStore.h"

#include "core/OwnerOnly.h"
#include "core/RegularFile.h"
#include "core/SqlDialect.h"
#include "core/Transaction.h"
#include "register/PictureName.h"

#include <QBuffer>
#include <QDir>
#include <QSaveFile>
#include <QSqlError>
#include <QSqlQuery>

bool ServerPictureStore::readSource(const QString &source, QByteArray *bytes, QString *error)
{
    if (const QString refused = refusal(source); !refused.isEmpty()) {
        *error = refused;
        return false;
    }
    QFile file;
    if (!openRegularFile(file, source, error))
        return false;
    // The size checked above may have grown since.
    *bytes = file.read(kMaxBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        *error = file.errorString();
        return false;
    }
    if (bytes->size() > kMaxBytes) {
        *error = refusal(source);
        return false;
    }
    return true;
}

bool ServerPictureStore::lockPictures(QString *error)
{
    return run(SqlDialect::of(m_db).lockForWriting(QStringLiteral("T_Picture")), {}, error);
}

bool ServerPictureStore::put(const QString &hash, const QByteArray &bytes, QString *error)
{
    return run(QStringLiteral("insert into T_Picture(F_hash, F_size, F_data) select ?, ?, ? "
                              "where not exists (select 1 from T_Picture where F_hash = ?)"),
               {hash, bytes.size(), bytes, hash}, error);
}

bool ServerPictureStore::dropUnlessNamed(const QString &hash, QString *error)
{
    return hash.isEmpty() ||
           run(QStringLiteral("delete from T_Picture where F_hash = ? and not exists "
                              "(select 1 from T_ImageREC where F_hash = ?)"),
               {hash, hash}, error);
}

std::optional<qint64> ServerPictureStore::add(qint64 sampleId, const QString &name,
                                              const QString &source, bool, QString *error)
{
    const QString extension = PictureName::extensionOf(source);
    if (const QString problem = PictureName::problem(name, extension);
        name.isEmpty() || !problem.isEmpty()) {
        *error = problem;
        return std::nullopt;
    }
    QByteArray bytes;
    if (!readSource(source, &bytes, error))
        return std::nullopt;
    const QString hash = hashOf(bytes);
    Transaction transaction(m_db);
    if (!transaction.began(error) || !lockPictures(error) || !put(hash, bytes, error))
        return std::nullopt;
    QSqlQuery q(m_db);
    q.prepare(QStringLiteral("insert into T_ImageREC(F_mainID,F_imagePath,F_fileName,F_fileExt,"
                             "F_hash) values(?, ?, ?, ?, ?) returning F_ID"));
    for (const QVariant &v :
         QVariantList{sampleId, PictureName::storedPath(name, extension), name, extension, hash})
        q.addBindValue(v);
    if (!q.exec() || !q.next()) {
        *error = q.lastError().text();
        return std::nullopt;
    }
    const qint64 id = q.value(0).toLongLong();
    q.finish();
    if (!transaction.commit(error))
        return std::nullopt;
    return id;
}

bool ServerPictureStore::replace(const PictureRecord &picture, const QString &source,
                                 QString *error)
{
    const QString extension = PictureName::extensionOf(source);
    if (const QString problem = PictureName::problem(picture.fileName, extension);
        !problem.isEmpty()) {
        *error = problem;
        return false;
    }
    QByteArray bytes;
    if (!readSource(source, &bytes, error))
        return false;
    const QString hash = hashOf(bytes);
    Transaction transaction(m_db);
    return transaction.began(error) && lockPictures(error) && put(hash, bytes, error) &&
           run(QStringLiteral("update T_ImageREC set F_fileExt = ?, F_imagePath = ?, F_hash = ? "
                              "where F_ID = ?"),
               {extension, PictureName::storedPath(picture.fileName, extension), hash, picture.id},
               error) &&
           (picture.hash == hash || dropUnlessNamed(picture.hash, error)) &&
           transaction.commit(error);
}

bool ServerPictureStore::rename(const PictureRecord &picture, const QString &name, QString *error)
{
    if (const QString problem = PictureName::problem(name, picture.fileExt); !problem.isEmpty()) {
        *error = problem;
        return false;
    }
    return run(
        QStringLiteral("update T_ImageREC set F_fileName = ?, F_imagePath = ? where F_ID = ?"),
        {name, PictureName::storedPath(name, picture.fileExt), picture.id}, error);
}

bool ServerPictureStore::remove(const PictureRecord &picture, QString *error)
{
    Transaction transaction(m_db);
    return transaction.began(error) && lockPictures(error) &&
           run(QStringLiteral("delete from T_ImageREC where F_ID = ?"), {picture.id}, error) &&
           dropUnlessNamed(picture.hash, error) && transaction.commit(error);
}

bool ServerPictureStore::holdsContent(const QString &hash, QString *error)
{
    QSqlQuery q(m_db);
    q.prepare(QStringLiteral("select 1 from T_Picture where F_hash = ?"));
    q.addBindValue(hash);
    if (!q.exec()) {
        *error = q.lastError().text();
        return false;
    }
    return q.next();
}

std::optional<QByteArray> ServerPictureStore::bytesOf(const QString &hash, QString *error)
{
    if (hash.isEmpty())
        return std::nullopt;
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("select F_data from T_Picture where F_hash = ?"));
    q.addBindValue(hash);
    if (!q.exec()) {
        *error = q.lastError().text();
        return std::nullopt;
    }
    if (!q.next())
        return std::nullopt;
    return q.value(0).toByteArray();
}

std::unique_ptr<QIODevice> ServerPictureStore::open(const PictureRecord &picture, QString *error)
{
    std::optional<QByteArray> bytes = bytesOf(picture.hash, error);
    if (!bytes)
        return nullptr;
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(std::move(*bytes));
    buffer->open(QIODevice::ReadOnly);
    return buffer;
}

QString ServerPictureStore::localFile(const PictureRecord &picture, const QString &workFolder,
                                      QString *error)
{
    std::optional<QByteArray> bytes = bytesOf(picture.hash, error);
    if (!bytes)
        return {};
    const QString name = PictureName::problem(picture.fileName, picture.fileExt).isEmpty()
                             ? picture.fileName + picture.fileExt
                             : picture.hash;
    const QString path = QDir(workFolder).filePath(name);
    QSaveFile file(path);
    if (!OwnerOnly::makeFolder(workFolder) || !OwnerOnly::prepare(path) ||
        !file.open(QIODevice::WriteOnly) || file.write(*bytes) != bytes->size() || !file.commit()) {
        *error = file.errorString();
        return {};
    }
    return path;
}
