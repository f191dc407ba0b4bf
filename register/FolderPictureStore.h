#pragma once

#include "register/PictureStore.h"

// A register file's pictures: files in images/ beside the program, named by the picture's
// name and extension. A file is removed only when no other row names it.
class FolderPictureStore : public PictureStore
{
public:
    explicit FolderPictureStore(const QSqlDatabase &db) : PictureStore(db) {}

    bool keepsFiles() const override { return true; }
    bool holds(const QString &name, const QString &extension) const override;
    std::optional<qint64> add(qint64 sampleId, const QString &name, const QString &source,
                              bool replaceFile, QString *error) override;
    bool replace(const PictureRecord &picture, const QString &source, QString *error) override;
    bool rename(const PictureRecord &picture, const QString &name, QString *error) override;
    bool remove(const PictureRecord &picture, QString *error) override;
    std::unique_ptr<QIODevice> open(const PictureRecord &picture, QString *error) override;
    QString localFile(const PictureRecord &picture, const QString &workFolder,
                      QString *error) override;

private:
    bool isShared(const PictureRecord &picture);
    bool removeFileUnlessShared(const PictureRecord &picture, QString *error);
};
