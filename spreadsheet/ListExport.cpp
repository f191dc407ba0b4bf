#include "spreadsheet/ListExport.h"

#include "spreadsheet/ListReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QObject>
#include <QUuid>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace ListExport {

namespace {

constexpr int kRowsBetweenReports = 1024;
// The rows take about half of the time; assembling the workbook after the last one the rest.
constexpr int kRowsShare = 50;

// Which field of the statement each column shows; -1 leaves the column empty, as the grid does.
std::vector<int> fieldsOf(const QList<GridColumn> &columns, const QStringList &fields)
{
    std::vector<int> indexes;
    for (const GridColumn &column : columns) {
        int found = -1;
        for (int i = 0; i < fields.size() && found < 0; ++i) {
            if (fields[i].compare(column.field, Qt::CaseInsensitive) == 0)
                found = i;
        }
        indexes.push_back(found);
    }
    return indexes;
}

WorkResult writeWorkbook(const Job &job, const QString &file, Summary *summary,
                         const WorkProgress &progress)
{
    const auto fail = [summary](const QString &reason, bool inDatabase) {
        summary->failedInDatabase = inDatabase;
        return WorkResult::failed(reason);
    };
    if (progress && !progress(0))
        return WorkResult::cancelled();
    QString error;
    const std::unique_ptr<ListReader> reader = ListReader::open(job.source, &error);
    if (!reader)
        return fail(error, true);
    qint64 expected = job.expectedRows;
    if (progress && expected < 0 && !job.query.isEmpty()) {
        expected = reader->count(job.query, &error);
        if (expected < 0)
            return fail(error, true);
    }
    XlsxListWriter writer(file, job.title, job.columns, job.rowsPerSheet);
    if (!writer.isOpen())
        return fail(writer.error(), false);
    // A list never queried is empty: its workbook holds the titles only.
    if (!job.query.isEmpty()) {
        if (!reader->start(job.query, &error))
            return fail(error, true);
        const std::vector<int> fields = fieldsOf(job.columns, reader->fields());
        while (reader->next()) {
            if (!writer.newRow())
                return fail(writer.error(), false);
            for (int column = 0; column < int(fields.size()); ++column) {
                if (fields[column] >= 0)
                    writer.setCell(column, reader->value(fields[column]));
            }
            if (++summary->rows % kRowsBetweenReports != 0)
                continue;
            if (!writer.checkWritten())
                return fail(writer.error(), false);
            const int percent =
                expected > 0 ? int(kRowsShare * std::min(summary->rows, expected) / expected) : 0;
            if (progress && !progress(percent))
                return WorkResult::cancelled();
        }
        if (!reader->error().isEmpty())
            return fail(reader->error(), true);
    }
    if (progress && !progress(kRowsShare))
        return WorkResult::cancelled();
    summary->sheets = writer.sheets();
    summary->shortenedTexts = writer.shortenedTexts();
    if (!writer.close())
        return fail(writer.error(), false);
    return WorkResult::done();
}

} // namespace

WorkResult write(const Job &job, const QString &target, Summary *summary,
                 const WorkProgress &progress)
{
    *summary = {};
    // Written aside and renamed when whole: a cancel, a crash or a full disk never leaves a
    // file that looks like a finished export.
    const QString part = target + u'.' + QUuid::createUuid().toString(QUuid::WithoutBraces) +
                         QStringLiteral(".part");
    {
        // Asks at once whether the folder takes the file, before the long work.
        QFile probe(part);
        // The owner's only from the start: the workbook is written into this very file.
        if (!probe.open(QIODevice::WriteOnly, QFileDevice::ReadOwner | QFileDevice::WriteOwner))
            return WorkResult::failed(
                QObject::tr("无法在“%1”中建立文件：%2")
                    .arg(QDir::toNativeSeparators(QFileInfo(target).absolutePath()),
                         probe.errorString()));
    }
    WorkResult result = writeWorkbook(job, part, summary, progress);
    if (result.isDone() && std::rename(QFile::encodeName(part).constData(),
                                       QFile::encodeName(target).constData()) != 0)
        result = WorkResult::failed(QString::fromLocal8Bit(std::strerror(errno)));
    if (!result.isDone()) {
        QFile::remove(part);
        return result;
    }
    if (progress)
        progress(100);
    return result;
}

QString freeFileName(const QString &folder, const QString &title, const QDateTime &time)
{
    QString name = title.trimmed();
    for (QChar &c : name) {
        if (QStringLiteral("/\\:*?\"<>|").contains(c) || c.category() == QChar::Other_Control)
            c = u'_';
    }
    if (name.isEmpty() || name.startsWith(u'.'))
        name.prepend(u'_');
    const QString stem = name + u' ' + time.toString(QStringLiteral("yyyy-MM-dd HH-mm-ss"));
    const QDir dir(folder);
    QString file = dir.filePath(stem + QStringLiteral(".xlsx"));
    for (int n = 2; QFileInfo::exists(file); ++n)
        file = dir.filePath(stem + QStringLiteral(" (%1).xlsx").arg(n));
    return file;
}

} // namespace ListExport
