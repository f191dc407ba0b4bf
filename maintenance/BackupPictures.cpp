#include "maintenance/BackupPictures.h"

#include "core/OwnerOnly.h"
#include "core/RegularFile.h"
#include "core/SqliteStatement.h"
#include "register/PictureName.h"
#include "register/PictureStore.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>
#include <cstdio>
#include <sqlite3.h>

namespace BackupPictures {

namespace {

bool exec(QSqlDatabase &db, const QString &sql, const QVariantList &values, QString *error)
{
    QSqlQuery q(db);
    q.prepare(sql);
    for (const QVariant &v : values)
        q.addBindValue(v);
    if (q.exec())
        return true;
    *error = q.lastError().text();
    return false;
}

struct Named
{
    QString name;
    QString extension;
};

QList<Named> namedFiles(QSqlDatabase &db, QString *error)
{
    QList<Named> files;
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("select distinct F_fileName, F_fileExt from T_ImageREC"))) {
        *error = q.lastError().text();
        return files;
    }
    while (q.next())
        files << Named{q.value(0).toString(), q.value(1).toString()};
    return files;
}

} // namespace

bool addFiles(QSqlDatabase &file, const QString &imagesFolder, QString *error,
              const WorkProgress &progress)
{
    error->clear();
    const QList<Named> named = namedFiles(file, error);
    if (!error->isEmpty())
        return false;
    QList<QPair<Named, QString>> present;
    qint64 total = 0;
    for (const Named &n : named) {
        const QString path = PictureName::problem(n.name, n.extension).isEmpty()
                                 ? QDir(imagesFolder).filePath(n.name + n.extension)
                                 : QString();
        if (path.isEmpty() || !QFileInfo(path).isFile()) {
            qWarning("backup: the picture file %s%s is missing", qPrintable(n.name),
                     qPrintable(n.extension));
            continue;
        }
        present << qMakePair(n, path);
        total += QFileInfo(path).size();
    }
    qint64 done = 0;
    for (const auto &[n, path] : std::as_const(present)) {
        QFile in;
        QString why;
        if (!openRegularFile(in, path, &why) || in.size() > PictureStore::kMaxBytes) {
            qWarning("backup: the picture file %s is not read: %s", qPrintable(path),
                     qPrintable(why.isEmpty() ? QStringLiteral("too large") : why));
            continue;
        }
        const QByteArray bytes = in.readAll();
        const QString hash = PictureStore::hashOf(bytes);
        if (!exec(file,
                  QStringLiteral("insert or ignore into T_Picture(F_hash, F_size, F_data) "
                                 "values(?, ?, ?)"),
                  {hash, bytes.size(), bytes}, error) ||
            !exec(file,
                  QStringLiteral("update T_ImageREC set F_hash = ? where F_fileName = ? and "
                                 "F_fileExt = ?"),
                  {hash, n.name, n.extension}, error))
            return false;
        done += bytes.size();
        if (progress && !progress(int(done * 100 / std::max<qint64>(total, 1)))) {
            *error = QStringLiteral("stopped");
            return false;
        }
    }
    return true;
}

bool check(QSqlDatabase &file, QString *error, const WorkProgress &progress)
{
    SqliteStatement pictures(SqliteStatement::connectionOf(file),
                             QStringLiteral("select F_hash, F_size, F_data from T_Picture"), {});
    if (!pictures.isValid()) {
        *error = pictures.error();
        return false;
    }
    int checked = 0;
    sqlite3_stmt *row = pictures.handle();
    while (pictures.step()) {
        const auto *data = static_cast<const char *>(sqlite3_column_blob(row, 2));
        const int size = sqlite3_column_bytes(row, 2);
        const QByteArray hash = QCryptographicHash::hash(QByteArray::fromRawData(data, size),
                                                         QCryptographicHash::Sha256)
                                    .toHex();
        if (hash != reinterpret_cast<const char *>(sqlite3_column_text(row, 0)) ||
            sqlite3_column_int64(row, 1) != size) {
            *error = QObject::tr("图片 %1 的内容与其校验值不符。")
                         .arg(QString::fromUtf8(
                             reinterpret_cast<const char *>(sqlite3_column_text(row, 0))));
            return false;
        }
        if (progress && ++checked % 16 == 0 && !progress(0)) {
            *error = QStringLiteral("stopped");
            return false;
        }
    }
    if (!pictures.error().isEmpty()) {
        *error = pictures.error();
        return false;
    }
    return true;
}

bool extractFiles(QSqlDatabase &file, const QString &stagingFolder, QString *error)
{
    if (!OwnerOnly::makeFolder(stagingFolder)) {
        *error = QObject::tr("无法建立文件夹“%1”。").arg(stagingFolder);
        return false;
    }
    SqliteStatement pictures(
        SqliteStatement::connectionOf(file),
        QStringLiteral("select r.F_fileName, r.F_fileExt, p.F_data from T_ImageREC r join "
                       "T_Picture p on p.F_hash = r.F_hash group by r.F_fileName, r.F_fileExt"),
        {});
    if (!pictures.isValid()) {
        *error = pictures.error();
        return false;
    }
    sqlite3_stmt *row = pictures.handle();
    while (pictures.step()) {
        const QString name =
            QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(row, 0)));
        const QString extension =
            QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(row, 1)));
        // A name that could leave the folder never becomes a file.
        if (!PictureName::problem(name, extension).isEmpty() || name.isEmpty())
            continue;
        QSaveFile out(QDir(stagingFolder).filePath(name + extension));
        const auto *data = static_cast<const char *>(sqlite3_column_blob(row, 2));
        const int size = sqlite3_column_bytes(row, 2);
        if (!out.open(QIODevice::WriteOnly) || out.write(data, size) != size || !out.commit()) {
            *error = out.errorString();
            return false;
        }
    }
    if (!pictures.error().isEmpty()) {
        *error = pictures.error();
        return false;
    }
    return exec(file, QStringLiteral("delete from T_Picture"), {}, error) &&
           exec(file, QStringLiteral("update T_ImageREC set F_hash = ''"), {}, error);
}

bool placeFiles(const QString &stagingFolder, const QString &imagesFolder, QString *error)
{
    QDir staging(stagingFolder);
    QDir().mkpath(imagesFolder);
    for (const QString &name : staging.entryList(QDir::Files | QDir::Hidden)) {
        const QString target = QDir(imagesFolder).filePath(name);
        if (std::rename(QFile::encodeName(staging.filePath(name)).constData(),
                        QFile::encodeName(target).constData()) != 0) {
            *error = QObject::tr("无法把图片放入“%1”。").arg(target);
            return false;
        }
    }
    staging.removeRecursively();
    return true;
}

} // namespace BackupPictures
