#pragma once

#include <QIODevice>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <memory>
#include <optional>

// One row of T_ImageREC: a picture of a sample, named by its name and extension; where a
// server holds the bytes, `hash` names them.
struct PictureRecord
{
    qint64 id = 0;
    QString fileName;
    QString fileExt;
    QString hash;

    // Where a register file keeps the picture (images/name.ext); empty when the stored name
    // could leave the picture folder: such a record has no file.
    QString file() const;
};

// The pictures of the samples, as one interface with two homes: a register file keeps them as
// files in images/ beside the program (two pictures of one name and extension share a file);
// a server keeps their bytes in T_Picture, each content once under its SHA-256, removed with
// the last row that names it. Every write is one transaction: a picture is stored whole with
// its row, or not at all. A store works on the connection it is given, so work off the
// window's thread reads through a connection of its own.
class PictureStore
{
public:
    // The most a picture may hold; a larger one is refused before anything is written.
    static constexpr qint64 kMaxBytes = qint64(256) << 20;

    virtual ~PictureStore() = default;

    // The store of the register `db` holds.
    static std::unique_ptr<PictureStore> of(const QSqlDatabase &db);

    // Why the file `source` cannot be stored (too large, with its size, or unreadable), in the
    // user's words; empty when it can.
    static QString refusal(const QString &source);
    // The SHA-256 of `bytes` in lower-case hex, as F_hash holds it.
    static QString hashOf(const QByteArray &bytes);

    // Removes the stored bytes that no row of T_ImageREC names any more, after rows went by
    // other ways (a sample deleted with its pictures, 系统数据清理); inside the caller's
    // transaction. Files in images/ stay, as they always have.
    static bool dropUnnamed(QSqlDatabase &db, QString *error);

    // Whether pictures are files in images/, where names of files can collide.
    virtual bool keepsFiles() const = 0;

    // The pictures of sample `sampleId`, in the order they were added.
    QList<PictureRecord> picturesOf(qint64 sampleId, QString *error);

    // Whether picture `name` with `extension` would take a file that is there already.
    virtual bool holds(const QString &name, const QString &extension) const = 0;

    // Stores a copy of the file `source` as picture `name` of sample `sampleId`, with the
    // source's extension. Where the name's file is there already it is replaced only when
    // `replaceFile`; else the new row names the file that is there.
    virtual std::optional<qint64> add(qint64 sampleId, const QString &name, const QString &source,
                                      bool replaceFile, QString *error) = 0;
    // Makes a copy of `source` the picture, under its name with the source's extension.
    virtual bool replace(const PictureRecord &picture, const QString &source, QString *error) = 0;
    // Gives the picture a new name; false, with nothing changed, when it cannot.
    virtual bool rename(const PictureRecord &picture, const QString &name, QString *error) = 0;
    // Deletes the picture's row and, unless another row names them, its bytes.
    virtual bool remove(const PictureRecord &picture, QString *error) = 0;

    // The picture's bytes to read; null when it has none (the error empty: the picture is
    // missing) or when they could not be read (the reason in `error`).
    virtual std::unique_ptr<QIODevice> open(const PictureRecord &picture, QString *error) = 0;
    // A file of the picture for the viewer: its own file, or a private copy (owner-only)
    // in `workFolder`; empty when missing or unreadable (see open()).
    virtual QString localFile(const PictureRecord &picture, const QString &workFolder,
                              QString *error) = 0;

protected:
    explicit PictureStore(const QSqlDatabase &db) : m_db(db) {}
    bool run(const QString &sql, const QVariantList &values, QString *error);

    QSqlDatabase m_db;
};

// Writes a copy of `source` as `target` through a temporary file in the target's folder, so
// a copy that fails leaves `target` as it was. Copying a file onto itself does nothing.
bool copyPictureFile(const QString &source, const QString &target, QString *error);
