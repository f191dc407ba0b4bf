#include "register/PicturePage.h"

#include "core/DataDm.h"
#include "core/Prompt.h"
#include "register/PictureName.h"
#include "register/ThumbnailLoader.h"
#include "register/ThumbnailTile.h"
#include "register/uDLGeditCurList.h"
#include "register/ufrmImageDisp.h"
#include "widgets/FileChooser.h"

#include <QAction>
#include <QFileInfo>
#include <QListWidget>
#include <QMenu>
#include <QShowEvent>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

const QString kNamePrompt = QStringLiteral("请输入图片的名称：");
const QString kNameTaken = QStringLiteral("当前文件名已经存在，请更换图片名！");
const QString kAddFilter = QStringLiteral(
    "Image Files (*.bmp *.jpg *.jpeg);;Bitmap Files (*.jpg *.jpeg);;Bitmap Files (*.bmp)");

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
// picture has (empty for a new one), which it may keep.
QString refusedName(const QString &text, const QString &extension, const QString &current)
{
    const QString problem = PictureName::problem(text, extension);
    if (!problem.isEmpty())
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

void PicturePage::rebuildThumbnails()
{
    m_pending = false;
    m_loader->cancel();
    m_unreadable.clear();
    ListView2->clear();
    m_items.clear();
    m_pictures =
        m_sampleId > 0 ? PictureStore::picturesOf(*dmData, m_sampleId) : QList<PictureRecord>();
    const QColor face = palette().color(QPalette::Button);
    const QIcon blank(QPixmap::fromImage(ThumbnailTile::blank(face)));
    QList<ThumbnailLoader::Job> jobs;
    for (const PictureRecord &picture : std::as_const(m_pictures)) {
        const QString file = picture.file();
        if (file.isEmpty() || !QFileInfo(file).isFile())
            continue;
        auto *item = new QListWidgetItem(blank, picture.fileName, ListView2);
        item->setData(Qt::UserRole, picture.id);
        m_items.insert(picture.id, item);
        // A GIF keeps the blank tile; the viewer shows it.
        if (!isGif(picture.fileExt))
            jobs << ThumbnailLoader::Job{picture.id, file};
    }
    m_building = true;
    ListView2->setCursor(Qt::BusyCursor);
    m_loader->start(jobs, face);
}

void PicturePage::showTile(qint64 key, const ThumbnailTile::Thumbnail &thumbnail)
{
    QListWidgetItem *item = m_items.value(key);
    if (!item)
        return;
    item->setIcon(QIcon(QPixmap::fromImage(thumbnail.tile)));
    switch (thumbnail.outcome) {
    case PictureReader::Picture::Read:
        break;
    case PictureReader::Picture::Unreadable:
        m_unreadable.insert(key);
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
    if (ShowPrompt(unreadableQuestion(picture.file()), Prompt::Question, Prompt::No) != Prompt::Yes)
        return;
    QString error;
    if (!PictureStore::remove(*dmData, picture, &error)) {
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
    const QString source =
        FileChooser::openFileName(this, QStringLiteral("新增图片"), QString(), kAddFilter);
    if (source.isEmpty())
        return;
    const QString extension = PictureName::extensionOf(source);
    const QString name =
        TDLGeditCurList::askPictureName(
            this, kNamePrompt, PictureName::offeredFor(source),
            [&extension](const QString &text) { return refusedName(text, extension, QString()); })
            .trimmed();
    if (name.isEmpty())
        return;
    const QString target = PictureName::filePath(name, extension);
    QString error;
    const bool copy = !QFileInfo::exists(target) ||
                      ShowPrompt(QStringLiteral("此图片文件名已经存在，是否覆盖当前文件！"),
                                 Prompt::Question) == Prompt::Yes;
    if (copy && !PictureStore::copyFile(source, target, &error)) {
        qWarning("picture not copied: %s", qPrintable(error));
        ShowPrompt(QStringLiteral("复制图片文件“%1”失败！").arg(target), Prompt::Error);
        return;
    }
    if (!PictureStore::insert(*dmData, m_sampleId, name, extension, &error)) {
        qWarning("picture not recorded: %s", qPrintable(error));
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
    const QString path = picture->file();
    const QString shown = TfrmImageDisp::openForEdit(this, path);
    if (shown.toLower() == path.toLower())
        return;
    QString error;
    if (shown.isEmpty()) {
        // A cleared picture saved is the picture removed; nothing points at no file.
        if (ShowPrompt(deleteQuestion(picture->fileName), Prompt::Question) != Prompt::Yes)
            return;
        if (!PictureStore::remove(*dmData, *picture, &error))
            qWarning("picture %lld not removed: %s", picture->id, qPrintable(error));
    } else if (!PictureStore::replace(*dmData, *picture, shown, &error)) {
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
    if (!PictureStore::remove(*dmData, *picture, &error))
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
    const QString name = TDLGeditCurList::askPictureName(
                             this, kNamePrompt, picture->fileName,
                             [&picture](const QString &text) {
                                 return refusedName(text, picture->fileExt, picture->fileName);
                             })
                             .trimmed();
    if (name.isEmpty() || name.toLower() == picture->fileName.toLower())
        return;
    QString error;
    if (!PictureStore::rename(*dmData, *picture, name, &error)) {
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
