#pragma once

#include "register/PictureStore.h"
#include "register/ThumbnailLoader.h"

#include <QHash>
#include <QSet>
#include <QWidget>
#include <optional>

class QListWidget;
class QListWidgetItem;
class QMenu;
class QToolBar;

// The main window's page "样品图片": the current sample's pictures as thumbnails, and the
// commands 901 to 904 (add, modify, delete, rename) on them, through the register's picture
// store. Every item keeps the key of its picture record. A picture whose bytes are gone shows
// as a marked tile with its name; one that cannot be read shows as a marked tile and is
// offered for deletion only when the user opens it; one too large to read says so, with its
// size.
class PicturePage : public QWidget
{
    Q_OBJECT

public:
    // `commands` are the main window's actions 901 to 904; `sampleGrid` takes the focus when
    // a picture is to be added without a sample.
    PicturePage(const QList<QAction *> &commands, QWidget *sampleGrid, QWidget *parent = nullptr);

    // The sample whose pictures the page shows (0: none). The thumbnails are rebuilt at once
    // while the page is on screen, else when it comes on screen.
    void showSample(qint64 sampleId);
    void rebuildThumbnails();
    // True until every thumbnail of the last rebuild is drawn.
    bool isBuilding() const { return m_building; }
    QListWidget *list() const { return ListView2; }

    void addPicture();
    void modifyPicture();
    void deletePicture();
    void renamePicture();

signals:
    void thumbnailsBuilt();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void showTile(const ThumbnailLoader::Result &result);
    void finishBuilding();
    void offerToDelete(const PictureRecord &picture);
    void dropItem(qint64 key);
    // The selected picture; nothing, after saying so, when there is none.
    std::optional<PictureRecord> selectedPicture(const QString &emptyText,
                                                 const QString &noSelectionText);
    void prepare();
    // The file the viewer opens for `picture`, fetched from a server with progress; the
    // picture's own file name when it has no bytes, so the viewer shows nothing.
    QString fileToView(const PictureRecord &picture);
    std::unique_ptr<PictureStore> store() const;

    QWidget *m_sampleGrid;
    QToolBar *ToolBar2;
    QListWidget *ListView2;
    QMenu *PopupMenu4;
    ThumbnailLoader *m_loader;
    qint64 m_sampleId = 0;
    bool m_pending = false;
    bool m_building = false;
    QList<PictureRecord> m_pictures;
    QHash<qint64, QListWidgetItem *> m_items;
    QSet<qint64> m_unreadable; // pictures whose file is no picture or is damaged
};
