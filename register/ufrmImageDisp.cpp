#include "register/ufrmImageDisp.h"

#include "core/Prompt.h"
#include "core/RegularFile.h"
#include "register/GifWriter.h"
#include "register/PictureCanvas.h"
#include "register/PictureFormats.h"
#include "register/PictureName.h"
#include "register/PictureReader.h"
#include "widgets/FileChooser.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QImageReader>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMovie>
#include <QPainter>
#include <QSaveFile>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QShowEvent>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>
#include <cmath>

namespace {

constexpr double kZoomFactors[TfrmImageDisp::kZoomSteps] = {
    0.05, 0.07, 0.1, 0.15, 0.2, 0.3, 0.5, 0.7, 1.0, 1.5, 2.0, 3.0, 5.0, 7.0, 10.0};

// Larger pictures are shown from a scaled decoding (about 160 MB as 32-bit pixels).
constexpr qint64 kShownPixels = 40'000'000;

const QStringList kExportFilters = {QStringLiteral("Bitmap Files (*.jpg *.jpeg)"),
                                    QStringLiteral("Bitmap Files (*.gif)"),
                                    QStringLiteral("Bitmap Files (*.bmp)")};
const QStringList kExportExtensions = {QStringLiteral(".jpg"), QStringLiteral(".gif"),
                                       QStringLiteral(".bmp")};

QString readError(const QString &path)
{
    return QStringLiteral("读取文件：") + path +
           QStringLiteral("时发生错误！\n该文件不是标准格式的文件，或者该文件已经被损坏！");
}

QString tooLargeMessage(const QString &path, const QSize &size)
{
    return QStringLiteral("图片文件：%1\n图片过大（%2×%3 像素），无法显示！")
        .arg(path)
        .arg(size.width())
        .arg(size.height());
}

// The chosen name with its last extension replaced by `extension`, or given one.
QString withExtension(const QString &path, const QString &extension)
{
    const QFileInfo info(path);
    const QString name = info.fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    return info.dir().filePath((dot < 0 ? name : name.left(dot)) + extension);
}

// JPEG and bitmap hold no transparency: transparent parts become white, not black.
QImage opaque(const QImage &image)
{
    if (!image.hasAlphaChannel())
        return image;
    QImage flat(image.size(), QImage::Format_RGB32);
    flat.fill(Qt::white);
    QPainter(&flat).drawImage(0, 0, image);
    return flat;
}

bool writeBytes(const QByteArray &bytes, const QString &path)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

} // namespace

TfrmImageDisp::TfrmImageDisp(QWidget *parent)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("frmImageDisp"));
    setWindowTitle(QStringLiteral("图像显示"));

    ScrollBox1 = new QScrollArea;
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setAlignment(Qt::AlignCenter);
    ScrollBox1->setWidgetResizable(false);
    QPalette black = ScrollBox1->palette();
    black.setColor(QPalette::Window, Qt::black);
    ScrollBox1->setPalette(black);
    ScrollBox1->setBackgroundRole(QPalette::Window);
    Panel1 = new QWidget;
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setPalette(black);
    Panel1->setAutoFillBackground(true);
    Image1 = new PictureCanvas(Panel1);
    Image1->setObjectName(QStringLiteral("Image1"));
    auto *panelLayout = new QVBoxLayout(Panel1);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->addWidget(Image1);
    ScrollBox1->setWidget(Panel1);

    StatusBar1 = new QStatusBar;
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    for (int i = 0; i < 6; ++i) {
        auto *panel = new QLabel(StatusBar1);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panel->setFrameShape(QFrame::StyledPanel);
        panel->setFrameShadow(QFrame::Sunken);
        StatusBar1->addWidget(panel, i == 5 ? 1 : 0);
        m_panels << panel;
    }
    m_panels[0]->setFixedWidth(50);
    m_panels[4]->setFixedWidth(0);

    m_menu = new QMenuBar;
    ToolBar1 = new QToolBar;
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    createActions();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(m_menu);
    layout->addWidget(ToolBar1);
    layout->addWidget(ScrollBox1, 1);
    layout->addWidget(StatusBar1);

    // The window sees these keys before any of its controls.
    addKey(Qt::Key_Left, &TfrmImageDisp::scrollLeft);
    addKey(Qt::Key_Right, &TfrmImageDisp::scrollRight);
    addKey(Qt::Key_Up, &TfrmImageDisp::scrollUp);
    addKey(Qt::Key_Down, &TfrmImageDisp::scrollDown);
    addKey(Qt::Key_PageUp, &TfrmImageDisp::pageUp);
    addKey(Qt::Key_PageDown, &TfrmImageDisp::pageDown);
    addKey(Qt::Key_Space, &TfrmImageDisp::showOriginal);
    addKey(Qt::Key_Backspace, &TfrmImageDisp::showOriginal);
    addKey(Qt::Key_Slash, &TfrmImageDisp::showOriginal);
    addKey(Qt::Key_Escape, &TfrmImageDisp::leaveFullScreen);
    refreshStatus();
}

void TfrmImageDisp::createActions()
{
    const auto make = [this](const char *name, const char *caption, const char *icon) {
        auto *a =
            new QAction(QIcon::fromTheme(QLatin1String(icon)), QString::fromUtf8(caption), this);
        a->setObjectName(QLatin1String(name));
        return a;
    };
    QAction *ActAdd = make("ActAdd", "载入", "document-open");
    QAction *ActExport = make("ActExport", "输出", "document-save-as");
    QAction *ActClear = make("ActClear", "清空", "edit-clear");
    ActMax = make("ActMax", "放大", "zoom-in");
    ActMin = make("ActMin", "缩小", "zoom-out");
    QAction *ActOld = make("ActOld", "原始尺寸", "zoom-original");
    ActOld->setIconText(QStringLiteral("原始"));
    QAction *ActFull = make("ActFull", "全屏", "view-fullscreen");
    QAction *ActSave = make("ActSave", "保存", "document-save");
    QAction *ActCancel = make("ActCancel", "取消", "dialog-cancel");
    QList<QAction *> browse = {
        make("ActFirst", "首项", "go-first"), make("ActPrior", "前项", "go-previous"),
        make("ActNext", "后项", "go-next"), make("ActLast", "末项", "go-last")};
    for (QAction *a : browse)
        a->setEnabled(false);

    connect(ActAdd, &QAction::triggered, this, &TfrmImageDisp::loadAnother);
    connect(ActExport, &QAction::triggered, this, &TfrmImageDisp::exportPicture);
    connect(ActClear, &QAction::triggered, this, &TfrmImageDisp::clearPicture);
    connect(ActMax, &QAction::triggered, this, &TfrmImageDisp::zoomIn);
    connect(ActMin, &QAction::triggered, this, &TfrmImageDisp::zoomOut);
    connect(ActOld, &QAction::triggered, this, &TfrmImageDisp::showOriginal);
    connect(ActFull, &QAction::triggered, this, &TfrmImageDisp::enterFullScreen);
    connect(ActSave, &QAction::triggered, this, &QDialog::accept);
    connect(ActCancel, &QAction::triggered, this, &QDialog::reject);

    ToolBar1->addActions({ActAdd, ActExport, ActClear});
    ToolBar1->addSeparator();
    ToolBar1->addActions({ActMax, ActMin, ActOld, ActFull});
    ToolBar1->addSeparator();
    ToolBar1->addActions(browse);
    ToolBar1->addSeparator();
    ToolBar1->addActions({ActSave, ActCancel});

    QMenu *edit = m_menu->addMenu(QStringLiteral("编辑"));
    edit->addActions({ActAdd, ActExport, ActClear});
    edit->addSeparator();
    edit->addActions({ActSave, ActCancel});
    QMenu *zoom = m_menu->addMenu(QStringLiteral("缩放"));
    zoom->addActions({ActMax, ActMin, ActOld, ActFull});
    QMenu *browseMenu = m_menu->addMenu(QStringLiteral("浏览"));
    browseMenu->addActions(browse);
    browseMenu->menuAction()->setVisible(false);

    const QList<QAction *> context = {ActAdd, ActExport, ActClear, ActMax,   ActMin,
                                      ActOld, ActFull,   ActSave,  ActCancel};
    for (QWidget *w : {static_cast<QWidget *>(Image1), ScrollBox1->viewport()}) {
        w->setContextMenuPolicy(Qt::ActionsContextMenu);
        w->addActions(context);
    }
}

void TfrmImageDisp::addKey(int key, void (TfrmImageDisp::*slot)())
{
    auto *shortcut = new QShortcut(QKeySequence(key), this);
    connect(shortcut, &QShortcut::activated, this, slot);
}

QString TfrmImageDisp::openForEdit(QWidget *parent, const QString &path)
{
    TfrmImageDisp viewer(parent);
    viewer.setFile(path);
    return viewer.exec() == QDialog::Accepted ? viewer.currentFile() : path;
}

void TfrmImageDisp::setFile(const QString &path)
{
    m_file = path;
    loadFile();
}

QString TfrmImageDisp::statusPanel(int panel) const
{
    return m_panels.at(panel)->text();
}

void TfrmImageDisp::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous() || m_fullScreen)
        return;
    const QRect screenArea = screen()->geometry();
    setGeometry(screenArea.x(), screenArea.y(), screenArea.width(), screenArea.height() - 30);
    showOriginal();
}

void TfrmImageDisp::loadFile()
{
    Image1->clear();
    m_gif.clear();
    m_size = QSize();
    if (QFileInfo::exists(m_file)) {
        switch (loadPicture()) {
        case PictureReader::Picture::Read:
            break;
        case PictureReader::Picture::TooLarge:
            // Its size stays in the status bar: the file is whole, only too large to show.
            ShowPrompt(tooLargeMessage(m_file, m_size), Prompt::Warning);
            break;
        case PictureReader::Picture::Unreadable:
        case PictureReader::Picture::Missing:
            m_size = QSize();
            ShowPrompt(readError(m_file), Prompt::Error);
            break;
        }
    }
    showOriginal();
}

PictureReader::Picture::Outcome TfrmImageDisp::loadPicture()
{
    using PictureReader::Picture;
    QFile probed;
    if (!openRegularFile(probed, m_file))
        return Picture::Unreadable;
    QImageReader probe(&probed);
    const bool gif = probe.format() == "gif";
    if (gif && probe.supportsAnimation() && probe.imageCount() > 1) {
        m_size = probe.size();
        // Every frame is decoded whole, so the whole size must fit.
        if (!PictureReader::fitsWhole(m_file, kShownPixels))
            return m_size.isEmpty() ? Picture::Unreadable : Picture::TooLarge;
        auto *movie = new QMovie(m_file, QByteArray(), this);
        if (!movie->isValid() || !movie->jumpToFrame(0)) {
            delete movie;
            return Picture::Unreadable;
        }
        Image1->setMovie(movie);
    } else {
        const Picture picture = PictureReader::readWithin(m_file, kShownPixels);
        m_size = picture.size;
        if (!picture.isRead())
            return picture.outcome;
        Image1->setImage(picture.image);
    }
    if (gif) {
        QFile file;
        if (openRegularFile(file, m_file))
            m_gif = file.readAll();
    }
    return Picture::Read;
}

void TfrmImageDisp::showOriginal()
{
    m_zoom = kOriginalZoom;
    showAt(1.0);
}

void TfrmImageDisp::showAt(double factor)
{
    // A picture too large to show keeps its size for the status bar only.
    const QSize shown = Image1->isEmpty() ? QSize(0, 0) : m_size;
    Panel1->resize(int(std::lround(shown.width() * factor)),
                   int(std::lround(shown.height() * factor)));
    refreshStatus();
    updateActions();
}

void TfrmImageDisp::zoomIn()
{
    if (m_zoom >= kZoomSteps)
        return;
    ++m_zoom;
    showAt(kZoomFactors[m_zoom - 1]);
}

void TfrmImageDisp::zoomOut()
{
    if (m_zoom <= 1)
        return;
    --m_zoom;
    showAt(kZoomFactors[m_zoom - 1]);
}

void TfrmImageDisp::enterFullScreen()
{
    if (m_fullScreen)
        return;
    m_fullScreen = true;
    m_menu->hide();
    ToolBar1->hide();
    StatusBar1->hide();
    ScrollBox1->setFrameShape(QFrame::NoFrame);
    ScrollBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ScrollBox1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    showFullScreen();
    showOriginal();
}

void TfrmImageDisp::leaveFullScreen()
{
    if (!m_fullScreen)
        return;
    m_fullScreen = false;
    showNormal();
    m_menu->show();
    ToolBar1->show();
    StatusBar1->show();
    ScrollBox1->setFrameShape(QFrame::StyledPanel);
    ScrollBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    ScrollBox1->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    showOriginal();
}

void TfrmImageDisp::loadAnother()
{
    const QString chosen =
        FileChooser::openFileName(this, QStringLiteral("载入"), QFileInfo(m_file).absolutePath(),
                                  PictureFormats::openFilter());
    if (chosen.isEmpty())
        return;
    setFile(chosen);
}

void TfrmImageDisp::exportPicture()
{
    const QImage shown = Image1->image();
    if (shown.isNull()) {
        ShowPrompt(QStringLiteral("没有可输出的图片！"), Prompt::Information);
        return;
    }
    QString filter;
    const QString chosen =
        FileChooser::saveFileName(this, QStringLiteral("输出"), QFileInfo(m_file).absolutePath(),
                                  kExportFilters.join(QStringLiteral(";;")), &filter);
    if (chosen.isEmpty())
        return;
    qsizetype kind = kExportFilters.indexOf(filter);
    if (kind < 0)
        kind = qMax<qsizetype>(
            0, kExportExtensions.indexOf(PictureName::extensionOf(chosen).toLower()));
    const QString target = withExtension(chosen, kExportExtensions[kind]);
    QString error;
    bool written = false;
    switch (kind) {
    case 0:
        written = opaque(shown).save(target, "JPEG", 90);
        break;
    case 1:
        written =
            m_gif.isEmpty() ? GifWriter::write(shown, target, &error) : writeBytes(m_gif, target);
        break;
    default:
        written = opaque(shown).save(target, "BMP");
        break;
    }
    if (!written)
        ShowPrompt(QStringLiteral("保存文件：") + target + QStringLiteral("时发生错误！"),
                   Prompt::Error);
}

void TfrmImageDisp::clearPicture()
{
    Image1->clear();
    m_gif.clear();
    m_size = QSize();
    m_file.clear();
    showOriginal();
}

void TfrmImageDisp::refreshStatus()
{
    const auto fit = [](QLabel *panel, const QString &text) {
        panel->setText(text);
        panel->setFixedWidth(panel->fontMetrics().horizontalAdvance(text) + 20);
    };
    fit(m_panels[1], m_file);
    fit(m_panels[2],
        QStringLiteral("%1x%2").arg(qMax(0, m_size.width())).arg(qMax(0, m_size.height())));
    m_panels[3]->setText(QStringLiteral("%1%").arg(std::lround(kZoomFactors[m_zoom - 1] * 100)));
}

void TfrmImageDisp::updateActions()
{
    ActMax->setEnabled(m_zoom < kZoomSteps);
    ActMin->setEnabled(m_zoom > 1);
}

void TfrmImageDisp::scrollLeft()
{
    ScrollBox1->horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
}

void TfrmImageDisp::scrollRight()
{
    ScrollBox1->horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
}

void TfrmImageDisp::scrollUp()
{
    ScrollBox1->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
}

void TfrmImageDisp::scrollDown()
{
    ScrollBox1->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
}

void TfrmImageDisp::pageUp()
{
    ScrollBox1->verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepSub);
}

void TfrmImageDisp::pageDown()
{
    ScrollBox1->verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
}
