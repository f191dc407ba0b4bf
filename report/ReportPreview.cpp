#include "report/ReportPreview.h"

#include "core/AppHome.h"
#include "core/Prompt.h"
#include "core/Shell.h"
#include "report/ReportOutputs.h"
#include "widgets/CommandBar.h"
#include "widgets/FileChooser.h"
#include "widgets/PrintChooser.h"
#include "widgets/ProgressRun.h"

#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

namespace {

constexpr double kFitWidth = -1;
constexpr double kWholePage = -2;

} // namespace

// One page of the report on a grey desk, drawn at the preview's zoom.
class PageView : public QWidget
{
public:
    PageView(const Report::Prepared &report) : m_report(report) {}

    void show(int page, double zoom)
    {
        m_page = page;
        m_zoom = zoom;
        const QSizeF mm(m_report.page.width, m_report.page.height);
        resize((mm * pixelsPerMm() * zoom).toSize() + QSize(2 * kDesk, 2 * kDesk));
        update();
    }

    double pixelsPerMm() const { return logicalDpiX() / 25.4; }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(0x80, 0x80, 0x80));
        const QRectF paper(kDesk, kDesk, width() - 2 * kDesk, height() - 2 * kDesk);
        painter.fillRect(paper.translated(3, 3), QColor(0x50, 0x50, 0x50));
        painter.fillRect(paper, Qt::white);
        painter.translate(kDesk, kDesk);
        painter.scale(m_zoom, m_zoom);
        Report::drawPage(painter, m_report, m_page, pixelsPerMm());
    }

private:
    static constexpr int kDesk = 12;
    const Report::Prepared &m_report;
    int m_page = 0;
    double m_zoom = 1;
};

ReportPreview::ReportPreview(Report::Prepared report, const QString &title, QWidget *parent)
    : QDialog(parent), m_report(std::move(report))
{
    setObjectName(QStringLiteral("frmPreview"));
    setWindowTitle(QStringLiteral("打印预览 - ") + title);
    setWindowFlags(Qt::Dialog | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);

    QHash<QString, QAction *> actions;
    QToolBar *bar = createCommandBar({{"tbFirstPage", "首页", "go-first"},
                                      {"tbPriorPage", "上页", "go-previous"},
                                      {"tbNextPage", "下页", "go-next"},
                                      {"tbLastPage", "末页", "go-last"},
                                      {},
                                      {"tbOpen", "打开", "document-open"},
                                      {"tbSave", "保存", "document-save"},
                                      {"tbPrint", "打印", "document-print"},
                                      {"tbExport", "导出", "document-export"},
                                      {},
                                      {"tbHelp", "帮助", "help-contents"},
                                      {"tbClose", "关闭", "application-exit"}},
                                     this, &actions);
    m_pageLabel = new QLabel;
    m_pageLabel->setObjectName(QStringLiteral("lblPage"));
    m_zoom = new QComboBox;
    m_zoom->setObjectName(QStringLiteral("cbbZoom"));
    m_zoom->addItem(QStringLiteral("适合宽度"), kFitWidth);
    m_zoom->addItem(QStringLiteral("整页"), kWholePage);
    for (int percent : {50, 75, 100, 150, 200})
        m_zoom->addItem(QStringLiteral("%1%").arg(percent), percent / 100.0);
    m_find = new QLineEdit;
    m_find->setObjectName(QStringLiteral("edtFind"));
    m_find->setPlaceholderText(QStringLiteral("查找"));
    m_find->setClearButtonEnabled(true);
    m_find->setMaximumWidth(180);
    bar->insertWidget(actions.value(QStringLiteral("tbOpen")), m_zoom);
    bar->insertWidget(actions.value(QStringLiteral("tbOpen")), m_find);
    bar->insertWidget(actions.value(QStringLiteral("tbFirstPage")), m_pageLabel);

    m_view = new PageView(m_report);
    m_scroll = new QScrollArea;
    m_scroll->setWidget(m_view);
    m_scroll->setAlignment(Qt::AlignHCenter);
    m_scroll->setBackgroundRole(QPalette::Dark);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(m_scroll, 1);

    for (const char *name : {"tbOpen", "tbSave", "tbPrint", "tbExport"})
        m_outputs << actions.value(QLatin1String(name));
    enableOutputs();
    connect(actions.value(QStringLiteral("tbFirstPage")), &QAction::triggered, this,
            [this] { showPage(0); });
    connect(actions.value(QStringLiteral("tbPriorPage")), &QAction::triggered, this,
            [this] { showPage(m_page - 1); });
    connect(actions.value(QStringLiteral("tbNextPage")), &QAction::triggered, this,
            [this] { showPage(m_page + 1); });
    connect(actions.value(QStringLiteral("tbLastPage")), &QAction::triggered, this,
            [this] { showPage(int(m_report.pages.size()) - 1); });
    connect(actions.value(QStringLiteral("tbExport")), &QAction::triggered, this,
            &ReportPreview::exportReport);
    connect(actions.value(QStringLiteral("tbPrint")), &QAction::triggered, this,
            &ReportPreview::print);
    connect(actions.value(QStringLiteral("tbSave")), &QAction::triggered, this,
            &ReportPreview::savePrepared);
    connect(actions.value(QStringLiteral("tbOpen")), &QAction::triggered, this,
            &ReportPreview::openPrepared);
    connect(actions.value(QStringLiteral("tbHelp")), &QAction::triggered, this,
            &ReportPreview::showHelp);
    connect(actions.value(QStringLiteral("tbClose")), &QAction::triggered, this, &QDialog::accept);
    connect(m_zoom, &QComboBox::currentIndexChanged, this, &ReportPreview::applyZoom);
    connect(m_find, &QLineEdit::returnPressed, this, [this] {
        if (!m_find->text().isEmpty())
            find(m_find->text());
    });
    resize(900, 700);
    showPage(0);
}

void ReportPreview::showPages(const Report::PageList &finished, const QList<Report::Style> &styles,
                              const QList<Report::Chart> &charts)
{
    const bool first = m_report.pages.isEmpty();
    m_report.styles = styles;
    m_report.charts = charts;
    m_report.pages = finished;
    if (first)
        showPage(0);
    else
        updatePageLabel();
}

void ReportPreview::finish()
{
    m_report.complete = true;
    enableOutputs();
    updatePageLabel();
    m_view->update();
    emit completed();
}

void ReportPreview::enableOutputs()
{
    for (QAction *output : std::as_const(m_outputs))
        output->setEnabled(m_report.complete);
}

double ReportPreview::zoom() const
{
    const double chosen = m_zoom->currentData().toDouble();
    if (chosen > 0)
        return chosen;
    const double perMm = m_view->pixelsPerMm();
    const QSize room = m_scroll->viewport()->size() - QSize(30, 30);
    const double byWidth = room.width() / (m_report.page.width * perMm);
    if (chosen == kFitWidth)
        return qMax(0.1, byWidth);
    return qMax(0.1, qMin(byWidth, room.height() / (m_report.page.height * perMm)));
}

void ReportPreview::applyZoom()
{
    m_view->show(m_page, zoom());
}

void ReportPreview::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    applyZoom();
}

void ReportPreview::showPage(int index)
{
    m_page = qBound(0, index, qMax(0, int(m_report.pages.size()) - 1));
    applyZoom();
    m_scroll->verticalScrollBar()->setValue(0);
    updatePageLabel();
}

void ReportPreview::updatePageLabel()
{
    m_pageLabel->setText(QStringLiteral(" 第 %1 页 / 共 %2 页 ")
                             .arg(m_report.pages.isEmpty() ? 0 : m_page + 1)
                             .arg(m_report.complete
                                      ? QString::number(m_report.pages.size())
                                      : QStringLiteral("%1…").arg(m_report.pages.size())));
}

// Long work on the report runs on a copy of it off the window's thread (pages still arriving
// replace the window's own), with a progress box and 取消 once it takes a while.
WorkResult ReportPreview::runOnReport(
    const QString &label,
    const std::function<WorkResult(const Report::Prepared &report, const WorkProgress &progress)>
        &work)
{
    const Report::Prepared report = m_report;
    return runWithProgress(this, label,
                           [&](const WorkProgress &progress) { return work(report, progress); });
}

bool ReportPreview::find(const QString &text)
{
    int found = -1;
    const WorkResult searched =
        runOnReport(QStringLiteral("正在查找“%1”...").arg(text),
                    [&](const Report::Prepared &report, const WorkProgress &progress) {
                        return Report::findText(report, text, m_page, &found, progress);
                    });
    if (found >= 0)
        showPage(found);
    else if (searched.isDone())
        ShowPrompt(QStringLiteral("找不到“%1”。").arg(text), Prompt::Information);
    return found >= 0;
}

bool ReportPreview::exportReport()
{
    QString filter;
    const QString path = FileChooser::saveFileName(
        this, QStringLiteral("导出报表"), AppHome::path(QStringLiteral("export")),
        QStringLiteral("PDF 文件 (*.pdf);;网页 (*.html);;RTF 文件 (*.rtf);;CSV 文件 (*.csv);;"
                       "文本文件 (*.txt)"),
        &filter);
    if (path.isEmpty())
        return false;
    const QString suffix = QFileInfo(path).suffix().toLower();
    const auto writer = suffix == u"html" || suffix == u"htm" ? Report::writeHtml
                        : suffix == u"rtf"                    ? Report::writeRtf
                        : suffix == u"csv"                    ? Report::writeCsv
                        : suffix == u"txt"                    ? Report::writeText
                                                              : Report::writePdf;
    const QString target =
        writer == Report::writePdf && suffix != u"pdf" ? path + QStringLiteral(".pdf") : path;
    const WorkResult written =
        runOnReport(QStringLiteral("正在导出报表..."),
                    [&](const Report::Prepared &report, const WorkProgress &progress) {
                        return writer(report, target, progress);
                    });
    if (written.isFailed())
        ShowPrompt(written.reason(), Prompt::Error);
    return written.isDone();
}

void ReportPreview::showHelp()
{
    QUrl help = QUrl::fromLocalFile(AppHome::path(QStringLiteral("help.html")));
    help.setFragment(QStringLiteral("reports"));
    Shell::openOrTell(help);
}

bool ReportPreview::print()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(
        QPageSize(QSizeF(m_report.page.width, m_report.page.height), QPageSize::Millimeter));
    printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    printer.setFullPage(true);
    if (!PrintChooser::choose(this, &printer, int(m_report.pages.size())))
        return false;
    int from = 1;
    int to = int(m_report.pages.size());
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        from = printer.fromPage();
        to = qMin(to, printer.toPage());
    }
    const QString notReady = QStringLiteral("无法打印：打印机没有准备好。");
    const WorkResult printed =
        runOnReport(QStringLiteral("正在打印..."), [&](const Report::Prepared &report,
                                                       const WorkProgress &progress) {
            QPainter painter;
            if (!painter.begin(&printer))
                return WorkResult::failed(notReady);
            for (int page = from; page <= to; ++page) {
                if (!progress((page - from) * 100 / qMax(1, to - from + 1))) {
                    printer.abort();
                    return WorkResult::cancelled();
                }
                if (page > from)
                    printer.newPage();
                Report::drawPage(painter, report, page - 1, printer.resolution() / 25.4);
            }
            return painter.end() ? WorkResult::done() : WorkResult::failed(notReady);
        });
    if (printed.isFailed())
        ShowPrompt(printed.reason(), Prompt::Error);
    return printed.isDone();
}

bool ReportPreview::savePrepared()
{
    QString filter;
    QString path = FileChooser::saveFileName(this, QStringLiteral("保存报表"),
                                             AppHome::path(QStringLiteral("export")),
                                             QStringLiteral("报表文件 (*.qrp)"), &filter);
    if (path.isEmpty())
        return false;
    if (!path.endsWith(QStringLiteral(".qrp"), Qt::CaseInsensitive))
        path += QStringLiteral(".qrp");
    const WorkResult saved =
        runOnReport(QStringLiteral("正在保存报表..."),
                    [&](const Report::Prepared &report, const WorkProgress &progress) {
                        return Report::savePrepared(report, path, progress);
                    });
    if (saved.isFailed())
        ShowPrompt(saved.reason(), Prompt::Error);
    return saved.isDone();
}

bool ReportPreview::openPrepared()
{
    const QString path = FileChooser::openFileName(this, QStringLiteral("打开报表"),
                                                   AppHome::path(QStringLiteral("export")),
                                                   QStringLiteral("报表文件 (*.qrp)"));
    if (path.isEmpty())
        return false;
    Report::Prepared loaded;
    const WorkResult opened =
        runWithProgress(this, QStringLiteral("正在打开报表..."), [&](const WorkProgress &progress) {
            return Report::loadPrepared(path, &loaded, progress);
        });
    if (!opened.isDone()) {
        if (opened.isFailed())
            ShowPrompt(opened.reason(), Prompt::Error);
        return false;
    }
    m_report = std::move(loaded);
    m_report.complete = true;
    showPage(0);
    return true;
}
