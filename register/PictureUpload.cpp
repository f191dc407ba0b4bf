#include "register/PictureUpload.h"

#include "core/RegularFile.h"
#include "core/Transaction.h"
#include "register/PictureName.h"
#include "register/ServerPictureStore.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>

namespace PictureUpload {

namespace {

struct Wanted
{
    QString name;
    QString extension;
    QString file;
    qint64 size = 0;
};

} // namespace

WorkResult run(QSqlDatabase &server, const QString &imagesFolder, Counts *counts,
               const WorkProgress &progress)
{
    *counts = {};
    QSqlQuery q(server);
    if (!q.exec(QStringLiteral("select F_fileName, F_fileExt, sum(case when exists (select 1 from "
                               "T_Picture p where p.F_hash = r.F_hash) then 0 else 1 end) "
                               "from T_ImageREC r group by F_fileName, F_fileExt")))
        return WorkResult::failed(q.lastError().text());
    QList<Wanted> wanted;
    qint64 total = 0;
    while (q.next()) {
        const QString name = q.value(0).toString();
        const QString extension = q.value(1).toString();
        if (q.value(2).toInt() == 0) {
            ++counts->present;
            continue;
        }
        const QString file = PictureName::problem(name, extension).isEmpty() && !name.isEmpty()
                                 ? QDir(imagesFolder).filePath(name + extension)
                                 : QString();
        if (file.isEmpty() || !QFileInfo::exists(file)) {
            ++counts->absent;
            continue;
        }
        wanted << Wanted{name, extension, file, QFileInfo(file).size()};
        total += wanted.last().size;
    }
    q.finish();
    ServerPictureStore store(server);
    qint64 done = 0;
    for (const Wanted &w : std::as_const(wanted)) {
        QFile file;
        if (w.size > PictureStore::kMaxBytes || !openRegularFile(file, w.file)) {
            ++counts->unreadable;
            continue;
        }
        const QByteArray bytes = file.read(PictureStore::kMaxBytes + 1);
        if (file.error() != QFileDevice::NoError || bytes.size() > PictureStore::kMaxBytes) {
            ++counts->unreadable;
            continue;
        }
        const QString hash = PictureStore::hashOf(bytes);
        QString error;
        Transaction transaction(server);
        if (!transaction.began(&error) || !store.lockPictures(&error) ||
            !store.put(hash, bytes, &error) ||
            !store.run(QStringLiteral("update T_ImageREC set F_hash = ? where F_fileName = ? and "
                                      "F_fileExt = ? and not exists (select 1 from T_Picture p "
                                      "where p.F_hash = T_ImageREC.F_hash)"),
                       {hash, w.name, w.extension}, &error) ||
            !transaction.commit(&error))
            return WorkResult::failed(error);
        ++counts->uploaded;
        done += bytes.size();
        if (progress && !progress(int(done * 100 / std::max<qint64>(total, 1))))
            return WorkResult::cancelled();
    }
    return WorkResult::done();
}

QString report(const Counts &counts)
{
    return QStringLiteral("已上传 %1 张图片，服务器上已有 %2 张，本机没有 %3 张，无法读取 %4 张。")
        .arg(counts.uploaded)
        .arg(counts.present)
        .arg(counts.absent)
        .arg(counts.unreadable);
}

} // namespace PictureUpload
