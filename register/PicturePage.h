#pragma once

#include "register/PictureStore.h"

#include <QHash>
#include <QWidget>
#include <optional>

class QListWidget;
class QListWidgetItem;
class QMenu;
class QToolBar;
class ThumbnailLoader;

// The main window's page "样品图片": the current sample's pictures as thumbnails, and the
// commands 901 to 904 (add, modify, delete, rename) on them. Every item keeps the key of its
// picture record, so a picture without a readable file never shifts the others.
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
    void RebuildThumbnails();
    // True until every thumbnail of the last rebuild is drawn (and its questions answered).
    bool isBuilding() const { return m_building; }
    QListWidget *list() const { return ListView2; }

    void AddPicture();
    void ModifyPicture();
    void DeletePicture();
    void RenamePicture();

signals:
    void thumbnailsBuilt();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void showTile(qint64 key, const QImage &tile);
    void finishBuilding();
    void askAboutUnreadable(const QList<qint64> &keys);
    void dropItem(qint64 key);
    // The selected picture; nothing, after saying so, when there is none.
    std::optional<PictureRecord> selectedPicture(const QString &emptyText,
                                                 const QString &noSelectionText);
    void prepare();

    QWidget *m_sampleGrid;
    QToolBar *ToolBar2;
    QListWidget *ListView2;
    QMenu *PopupMenu4;
    ThumbnailLoader *m_loader;
    qint64 m_sampleId = 0;
    bool m_pending = false;
    bool m_building = false;
    quint64 m_build = 0;
    QList<PictureRecord> m_pictures;
    QHash<qint64, QListWidgetItem *> m_items;
    QList<qint64> m_unreadable;
};
