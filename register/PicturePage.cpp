#include "register/PicturePage.h"

#include "core/AppHome.h"
#include "core/DataDm.h"
#include "core/OwnConnection.h"
#include "core/Prompt.h"
#include "register/PictureFormats.h"
#include "register/PictureName.h"
#include "register/ServerPictureStore.h"
#include "register/ThumbnailTile.h"
#include "register/uDLGeditCurList.h"
#include "register/ufrmImageDisp.h"
#include "widgets/FileChooser.h"
#include "widgets/ProgressRun.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QMenu>
#include <QShowEvent>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

const QString kNamePrompt = QStringLiteral("请输入图片的名称：");
const QString kNameTaken = QStringLiteral("当前文件名已经存在，请更换图片名！");

QString unreadableQuestion(const QString &path)
{
    return QStringLiteral("读取文件：") + path +
           QStringLiteral("时发生错误！\n该文件不是标准格式的文件，或者该文件已经被损坏！\n"
                          "是否删除当前图片文件?");
}

QString deleteQuestion(const QString &name)
{
    return QStringLiteral("真的要删除当前图片 “") + name + QStringLiteral("”吗？");
}

// What the name dialog refuses for a picture with `extension`; `current` is the name the
// picture has (empty for a new one), which it may keep. Names collide only where pictures
// are files.
QString refusedName(const QString &text, const QString &extension, const QString &current,
                    bool files)
{
    const QString problem = PictureName::problem(text, extension);
    if (!problem.isEmpty() || !files)
        return problem;
    if (QFileInfo::exists(PictureName::folder() + u'/' + text))
        return kNameTaken;
    // A rename must not land on another picture's file.
    if (!current.isEmpty() && text.compare(current, Qt::CaseInsensitive) != 0 &&
        QFileInfo::exists(PictureName::filePath(text, extension)))
        return kNameTaken;
    return {};
}

// The picture record an item stands for.
qint64 pictureKey(const QListWidgetItem *item)
{
    return item->data(Qt::UserRole).toLongLong();
}

bool isGif(const QString &extension)
{
    return extension.compare(u".gif", Qt::CaseInsensitive) == 0;
}

// The folder a server's picture is fetched into for the viewer.
QString viewFolder()
{
    return AppHome::cachePath(QStringLiteral("viewing"));
}

} // namespace

PicturePage::PicturePage(const QList<QAction *> &commands, QWidget *sampleGrid, QWidget *parent)
    : QWidget(parent), m_sampleGrid(sampleGrid), m_loader(new ThumbnailLoader(this))
{
    setObjectName(QStringLiteral("pnlPictures"));
    ToolBar2 = new QToolBar;
    ToolBar2->setObjectName(QStringLiteral("ToolBar2"));
    ToolBar2->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    ToolBar2->setIconSize(QSize(16, 16));
    ToolBar2->addActions(commands);

    ListView2 = new QListWidget;
    ListView2->setObjectName(QStringLiteral("ListView2"));
    ListView2->setViewMode(QListView::IconMode);
    ListView2->setIconSize(QSize(ThumbnailTile::kSide, ThumbnailTile::kSide));
    ListView2->setGridSize(QSize(90, 120));
    ListView2->setMovement(QListView::Static);
    ListView2->setResizeMode(QListView::Adjust);
    ListView2->setWordWrap(true);
    ListView2->setSelectionMode(QAbstractItemView::SingleSelection);

    PopupMenu4 = new QMenu(this);
    PopupMenu4->setObjectName(QStringLiteral("PopupMenu4"));
    PopupMenu4->addActions(commands.mid(0, 3));
    PopupMenu4->addSeparator();
    PopupMenu4->addAction(commands.value(3));
    ListView2->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ListView2, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        PopupMenu4->popup(ListView2->viewport()->mapToGlobal(at));
    });
    connect(ListView2, &QListWidget::itemDoubleClicked, this, [commands] {
        QAction *modify = commands.value(1);
        if (modify->isVisible() && modify->isEnabled())
            modify->trigger();
    });

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(ToolBar2);
    layout->addWidget(ListView2, 1);

    void (PicturePage::*const run[])() = {&PicturePage::addPicture, &PicturePage::modifyPicture,
                                          &PicturePage::deletePicture, &PicturePage::renamePicture};
    for (int i = 0; i < commands.size() && i < 4; ++i) {
        commands[i]->setEnabled(true);
        connect(commands[i], &QAction::triggered, this, run[i]);
    }
    connect(m_loader, &ThumbnailLoader::tileReady, this, &PicturePage::showTile);
    connect(m_loader, &ThumbnailLoader::finished, this, &PicturePage::finishBuilding);
}

void PicturePage::showSample(qint64 sampleId)
{
    m_sampleId = sampleId;
    if (isVisible()) {
        rebuildThumbnails();
        return;
    }
    // Off screen: nothing is read until the page is shown.
    m_loader->cancel();
    ListView2->unsetCursor();
    ListView2->clear();
    m_items.clear();
    m_pictures.clear();
    m_building = false;
    m_pending = true;
}

void PicturePage::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        rebuildThumbnails();
}

void PicturePage::prepare()
{
    if (m_pending)
        rebuildThumbnails();
}

std::unique_ptr<PictureStore> PicturePage::store() const
{
    return PictureStore::of(dmData->database());
}

void PicturePage::rebuildThumbnails()
{
    m_pending = false;
    m_loader->cancel();
    m_unreadable.clear();
    ListView2->clear();
    m_items.clear();
    m_pictures.clear();
    QString error;
    if (m_sampleId > 0)
        m_pictures = store()->picturesOf(m_sampleId, &error);
    if (!error.isEmpty())
        dmData->showFailure(kMsgOpenFailed, error);
    const QColor face = palette().color(QPalette::Button);
    const QIcon blank(QPixmap::fromImage(ThumbnailTile::blank(face)));
    QList<ThumbnailLoader::Job> jobs;
    for (const PictureRecord &picture : std::as_const(m_pictures)) {
        auto *item = new QListWidgetItem(blank, picture.fileName, ListView2);
        item->setData(Qt::UserRole, picture.id);
        m_items.insert(picture.id, item);
        // A GIF keeps the blank tile; the viewer shows it.
        jobs << ThumbnailLoader::Job{picture, !isGif(picture.fileExt)};
    }
    m_building = true;
    ListView2->setCursor(Qt::BusyCursor);
    m_loader->start(jobs, face, dmData->source());
}

void PicturePage::showTile(const ThumbnailLoader::Result &result)
{
    QListWidgetItem *item = m_items.value(result.key);
    if (!item)
        return;
    const ThumbnailTile::Thumbnail &thumbnail = result.thumbnail;
    item->setIcon(QIcon(QPixmap::fromImage(thumbnail.tile)));
    switch (thumbnail.outcome) {
    case PictureReader::Picture::Read:
        break;
    case PictureReader::Picture::Missing:
        item->setToolTip(QStringLiteral("图片不存在"));
        break;
    case PictureReader::Picture::Unreadable:
        // Bytes that could not be fetched are no reason to offer deleting the picture.
        if (!result.error.isEmpty()) {
            item->setToolTip(result.error);
            break;
        }
        m_unreadable.insert(result.key);
        item->setToolTip(QStringLiteral("该文件不是标准格式的文件，或者该文件已经被损坏！"));
        break;
    case PictureReader::Picture::TooLarge:
        item->setToolTip(QStringLiteral("图片过大：%1×%2 像素")
                             .arg(thumbnail.size.width())
                             .arg(thumbnail.size.height()));
        break;
    }
}

void PicturePage::finishBuilding()
{
    ListView2->unsetCursor();
    m_building = false;
    emit thumbnailsBuilt();
}

void PicturePage::offerToDelete(const PictureRecord &picture)
{
    const QString shown =
        store()->keepsFiles() ? picture.file() : picture.fileName + picture.fileExt;
    if (ShowPrompt(unreadableQuestion(shown), Prompt::Question, Prompt::No) != Prompt::Yes)
        return;
    QString error;
    if (!store()->remove(picture, &error)) {
        qWarning("picture %lld not removed: %s", picture.id, qPrintable(error));
        return;
    }
    m_pictures.removeIf([&](const PictureRecord &p) { return p.id == picture.id; });
    m_unreadable.remove(picture.id);
    dropItem(picture.id);
}

void PicturePage::dropItem(qint64 key)
{
    delete m_items.take(key);
}

std::optional<PictureRecord> PicturePage::selectedPicture(const QString &emptyText,
                                                          const QString &noSelectionText)
{
    prepare();
    if (m_pictures.isEmpty()) {
        ShowPrompt(emptyText, Prompt::Error);
        return std::nullopt;
    }
    const QList<QListWidgetItem *> selected = ListView2->selectedItems();
    if (selected.isEmpty()) {
        ShowPrompt(noSelectionText, Prompt::Information);
        return std::nullopt;
    }
    const qint64 key = pictureKey(selected.first());
    for (const PictureRecord &picture : std::as_const(m_pictures)) {
        if (picture.id == key)
            return picture;
    }
    return std::nullopt;
}

void PicturePage::addPicture()
{
    if (m_sampleId <= 0) {
        ShowPrompt(QStringLiteral("请先选择要增加图片信息的样品！"), Prompt::Information);
        m_sampleGrid->setFocus();
        return;
    }
    const QString source = FileChooser::openFileName(this, QStringLiteral("新增图片"), QString(),
                                                     PictureFormats::openFilter());
    if (source.isEmpty())
        return;
    // Too large or unreadable: said before anything is asked or written.
    if (const QString refused = PictureStore::refusal(source); !refused.isEmpty()) {
        ShowPrompt(refused, Prompt::Warning);
        return;
    }
    const std::unique_ptr<PictureStore> pictures = store();
    const QString extension = PictureName::extensionOf(source);
    const bool files = pictures->keepsFiles();
    const QString name =
        TDLGeditCurList::askPictureName(this, kNamePrompt, PictureName::offeredFor(source),
                                        [&extension, files](const QString &text) {
                                            return refusedName(text, extension, QString(), files);
                                        })
            .trimmed();
    if (name.isEmpty())
        return;
    const bool replaceFile = !pictures->holds(name, extension) ||
                             ShowPrompt(QStringLiteral("此图片文件名已经存在，是否覆盖当前文件！"),
                                        Prompt::Question) == Prompt::Yes;
    QString error;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool added = pictures->add(m_sampleId, name, source, replaceFile, &error).has_value();
    QApplication::restoreOverrideCursor();
    if (!added) {
        qWarning("picture not stored: %s", qPrintable(error));
        dmData->showFailure(kMsgOperationFailed, error);
        return;
    }
    rebuildThumbnails();
}

void PicturePage::modifyPicture()
{
    const std::optional<PictureRecord> picture =
        selectedPicture(QStringLiteral("此表为空，没有样品图片需要修改！"),
                        QStringLiteral("没有图片选择，请选择需要修改的样品图片！"));
    if (!picture)
        return;
    // Nothing to show: the user may want to be rid of it.
    if (m_unreadable.contains(picture->id)) {
        offerToDelete(*picture);
        return;
    }
    const int position = ListView2->row(ListView2->selectedItems().first());
    const QString path = fileToView(*picture);
    if (path.isEmpty())
        return;
    const QString shown = TfrmImageDisp::openForEdit(this, path);
    if (path != picture->file())
        QFile::remove(path);
    if (shown.toLower() == path.toLower())
        return;
    const std::unique_ptr<PictureStore> pictures = store();
    QString error;
    if (shown.isEmpty()) {
        // A cleared picture saved is the picture removed; nothing points at no file.
        if (ShowPrompt(deleteQuestion(picture->fileName), Prompt::Question) != Prompt::Yes)
            return;
        if (!pictures->remove(*picture, &error))
            qWarning("picture %lld not removed: %s", picture->id, qPrintable(error));
    } else if (const QString refused = PictureStore::refusal(shown); !refused.isEmpty()) {
        ShowPrompt(refused, Prompt::Warning);
    } else if (!pictures->replace(*picture, shown, &error)) {
        qWarning("picture %lld not replaced: %s", picture->id, qPrintable(error));
        ShowPrompt(QStringLiteral("图片文件正在使用中，不能修改！"), Prompt::Error);
    }
    rebuildThumbnails();
    ListView2->setFocus();
    if (QListWidgetItem *item = ListView2->item(position)) {
        ListView2->setCurrentItem(item);
        item->setSelected(true);
    }
}

void PicturePage::deletePicture()
{
    const std::optional<PictureRecord> picture =
        selectedPicture(QStringLiteral("此表为空，没有图片信息记录需要删除！"),
                        QStringLiteral("没有图片选择，请选择需要删除的样品图片！"));
    if (!picture || ShowPrompt(deleteQuestion(picture->fileName), Prompt::Question) == Prompt::No)
        return;
    QString error;
    if (!store()->remove(*picture, &error))
        qWarning("picture %lld not removed: %s", picture->id, qPrintable(error));
    m_pictures.removeIf([&](const PictureRecord &p) { return p.id == picture->id; });
    dropItem(picture->id);
}

void PicturePage::renamePicture()
{
    const std::optional<PictureRecord> picture =
        selectedPicture(QStringLiteral("此表为空，没有样品图片名称需要修改！"),
                        QStringLiteral("没有图片选择，请选择需要更名的样品图片！"));
    if (!picture)
        return;
    const bool files = store()->keepsFiles();
    const QString name =
        TDLGeditCurList::askPictureName(this, kNamePrompt, picture->fileName,
                                        [&picture, files](const QString &text) {
                                            return refusedName(text, picture->fileExt,
                                                               picture->fileName, files);
                                        })
            .trimmed();
    if (name.isEmpty() || name.toLower() == picture->fileName.toLower())
        return;
    QString error;
    if (!store()->rename(*picture, name, &error)) {
        qWarning("picture %lld not renamed: %s", picture->id, qPrintable(error));
        return;
    }
    for (PictureRecord &p : m_pictures) {
        if (p.id == picture->id)
            p.fileName = name;
    }
    if (QListWidgetItem *item = m_items.value(picture->id))
        item->setText(name);
}

QString PicturePage::fileToView(const PictureRecord &picture)
{
    const DataSource source = dmData->source();
    if (source.engine != Engine::PostgreSQL)
        return picture.file();
    // A large picture takes a while over the network: fetched off the window's thread.
    QString file;
    const WorkResult fetched =
        runWithProgress(this, QStringLiteral("正在读取图片……"), [&](const WorkProgress &) {
            OwnConnection connection(source, QStringLiteral("picture"));
            if (!connection.isOpen())
                return WorkResult::failed(connection.error());
            QString error;
            file = ServerPictureStore(connection.db()).localFile(picture, viewFolder(), &error);
            return error.isEmpty() ? WorkResult::done() : WorkResult::failed(error);
        });
    if (fetched.isFailed()) {
        qWarning("picture %lld not fetched: %s", picture.id, qPrintable(fetched.reason()));
        dmData->showFailure(kMsgOpenFailed, fetched.reason());
        return {};
    }
    if (fetched.isCancelled())
        return {};
    // Without bytes the viewer shows nothing under the picture's name.
    return file.isEmpty()
               ? QDir(viewFolder())
                     .filePath(picture.hash.isEmpty() ? QStringLiteral("missing") : picture.hash)
               : file;
}
