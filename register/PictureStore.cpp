#include "register/PictureStore.h"

#include "core/RegularFile.h"
#include "core/SqlDialect.h"
#include "register/FolderPictureStore.h"
#include "register/PictureName.h"
#include "register/ServerPictureStore.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QSqlError>
#include <QSqlQuery>

QString PictureRecord::file() const
{
    return PictureName::filePath(fileName, fileExt);
}

std::unique_ptr<PictureStore> PictureStore::of(const QSqlDatabase &db)
{
    if (SqlDialect::of(db).engine() == Engine::PostgreSQL)
        return std::make_unique<ServerPictureStore>(db);
    return std::make_unique<FolderPictureStore>(db);
}

QString PictureStore::refusal(const QString &source)
{
    QFile file;
    QString why;
    if (!openRegularFile(file, source, &why))
        return QStringLiteral("无法读取图片文件“%1”：%2").arg(source, why);
    if (file.size() > kMaxBytes)
        return QStringLiteral("图片文件“%1”太大（%2 MB），一张图片最大 %3 MB！")
            .arg(source)
            .arg(double(file.size()) / (1 << 20), 0, 'f', 1)
            .arg(kMaxBytes >> 20);
    return {};
}

QString PictureStore::hashOf(const QByteArray &bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

bool PictureStore::dropUnnamed(QSqlDatabase &db, QString *error)
{
    if (SqlDialect::of(db).engine() != Engine::PostgreSQL)
        return true;
    ServerPictureStore store(db);
    return store.lockPictures(error) &&
           store.run(QStringLiteral("delete from T_Picture where not exists (select 1 from "
                                    "T_ImageREC r where r.F_hash = T_Picture.F_hash)"),
                     {}, error);
}

QList<PictureRecord> PictureStore::picturesOf(qint64 sampleId, QString *error)
{
    QList<PictureRecord> pictures;
    QSqlQuery q(m_db);
    q.prepare(QStringLiteral("select F_ID, F_fileName, F_fileExt, F_hash from T_ImageREC "
                             "where F_mainID = ? order by F_ID"));
    q.addBindValue(sampleId);
    if (!q.exec()) {
        *error = q.lastError().text();
        return pictures;
    }
    while (q.next())
        pictures << PictureRecord{q.value(0).toLongLong(), q.value(1).toString(),
                                  q.value(2).toString(), q.value(3).toString()};
    return pictures;
}

bool PictureStore::run(const QString &sql, const QVariantList &values, QString *error)
{
    QSqlQuery q(m_db);
    // PostgreSQL prepares no lock statement: statements without values run unprepared.
    if (values.isEmpty() ? q.exec(sql) : q.prepare(sql)) {
        for (const QVariant &v : values)
            q.addBindValue(v);
        if (values.isEmpty() || q.exec())
            return true;
    }
    *error = q.lastError().text();
    return false;
}

namespace {

bool sameFile(const QString &a, const QString &b)
{
    const QString canonical = QFileInfo(a).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath();
}

} // namespace

bool copyPictureFile(const QString &source, const QString &target, QString *error)
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
