#pragma once

#include "register/PictureStore.h"

// A server's pictures: the bytes in T_Picture, each content once under its SHA-256, which the
// rows of T_ImageREC name. Writers take T_Picture for themselves for their transaction, so a
// content is never removed while another workstation adds a row naming it; readers never wait.
class ServerPictureStore : public PictureStore
{
public:
    explicit ServerPictureStore(const QSqlDatabase &db) : PictureStore(db) {}

    bool keepsFiles() const override { return false; }
    // Every picture holds its own bytes, whatever its name.
    bool holds(const QString &, const QString &) const override { return false; }
    std::optional<qint64> add(qint64 sampleId, const QString &name, const QString &source,
                              bool replaceFile, QString *error) override;
    bool replace(const PictureRecord &picture, const QString &source, QString *error) override;
    bool rename(const PictureRecord &picture, const QString &name, QString *error) override;
    bool remove(const PictureRecord &picture, QString *error) override;
    std::unique_ptr<QIODevice> open(const PictureRecord &picture, QString *error) override;
    QString localFile(const PictureRecord &picture, const QString &workFolder,
                      QString *error) override;

    // Stores `bytes` under `hash` unless they are there; inside the caller's transaction,
    // which holds T_Picture (lockPictures).
    bool put(const QString &hash, const QByteArray &bytes, QString *error);
    // Makes the caller's transaction the only writer of T_Picture.
    bool lockPictures(QString *error);
    // Removes the bytes of `hash` unless a row names them; inside the caller's transaction.
    bool dropUnlessNamed(const QString &hash, QString *error);
    // Whether the server holds the bytes of `hash`; false with `error` when it cannot tell.
    bool holdsContent(const QString &hash, QString *error);
    // The bytes of `hash`; nothing when absent (`error` empty) or unreadable.
    std::optional<QByteArray> bytesOf(const QString &hash, QString *error);

    using PictureStore::run;

private:
    bool readSource(const QString &source, QByteArray *bytes, QString *error);
};
