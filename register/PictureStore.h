#pragma once

#include <QList>
#include <QString>
#include <optional>

class TdmData;

// One row of T_ImageREC: a picture of a sample and the file in images/ it names.
struct PictureRecord
{
    qint64 id = 0;
    QString fileName;
    QString fileExt;

    // Empty when the stored name could leave the picture folder: such a record has no file.
    QString file() const;
};

// The pictures of the samples, their rows and their files. A file is removed only when no
// other record names it, since two pictures of one name and extension share one file.
namespace PictureStore {

// The pictures of sample `sampleId`, in the order they were added; failures are reported.
QList<PictureRecord> picturesOf(TdmData &dm, qint64 sampleId);

// Writes a copy of `source` as `target` through a temporary file in the target's folder, so
// a copy that fails leaves `target` as it was. Copying a file onto itself does nothing.
bool copyFile(const QString &source, const QString &target, QString *error);

// Records picture `name` with `extension` for sample `sampleId`.
std::optional<qint64> insert(TdmData &dm, qint64 sampleId, const QString &name,
                             const QString &extension, QString *error);

// Deletes the record and, when no other record names it, its file.
bool remove(TdmData &dm, const PictureRecord &picture, QString *error);

// Gives the picture and its file a new name; the record keeps its old name when the file
// could not be renamed.
bool rename(TdmData &dm, const PictureRecord &picture, const QString &name, QString *error);

// Makes a copy of `source` the picture's file, under the picture's name with the source's
// extension, and records that extension. False, with nothing changed, when the copy fails.
bool replace(TdmData &dm, const PictureRecord &picture, const QString &source, QString *error);

} // namespace PictureStore
