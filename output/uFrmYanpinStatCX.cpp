#include "output/uFrmYanpinStatCX.h"

#include "core/AppTitle.h"
#include "core/DataDm.h"
#include "report/PrintReport.h"
#include "widgets/PlaceForm.h"
#include "widgets/StatusPanels.h"

#include <QAbstractTableModel>
#include <QChart>
#include <QChartView>
#include <QFutureWatcher>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPieSeries>
#include <QPieSlice>
#include <QPushButton>
#include <QSplitter>
#include <QSqlQuery>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>
#include <QtConcurrent>
#include <optional>

using StatisticsAnalysis::Row;

namespace {

// How an analysis ended and its groups, handed from its thread to the window.
struct Analysis
{
    std::optional<WorkResult> result;
    QList<Row> rows;
};

} // namespace

// The list page: every row of the analysis, the group and its count.
class AnalysisRowsModel : public QAbstractTableModel
{
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setRows(const QString &title, QList<Row> rows)
    {
        beginResetModel();
        m_title = title;
        m_rows = std::move(rows);
        endResetModel();
    }

    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : int(m_rows.size());
    }
    int columnCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : 2;
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid())
            return {};
        const Row &row = m_rows.at(index.row());
        if (role == Qt::DisplayRole)
            return index.column() == 0 ? QVariant(row.name) : QVariant(QString::number(row.num));
        if (role == Qt::TextAlignmentRole && index.column() == 1)
            return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return QAbstractTableModel::headerData(section, orientation, role);
        return section == 0 ? m_title : QStringLiteral("数量");
    }

private:
    QString m_title;
    QList<Row> m_rows;
};

TfrmYanpinStatCX::TfrmYanpinStatCX(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmYanpinStatCX"));
    setWindowTitle(QStringLiteral("样品统计分析"));
    setWindowFlags(Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint |
                   Qt::WindowCloseButtonHint);
    m_pool.setMaxThreadCount(1);

    ListBox1 = new QListWidget;
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    auto *left = new QTabWidget;
    left->addTab(ListBox1, QStringLiteral("统计方式"));

    m_series = new QPieSeries;
    m_series->setObjectName(QStringLiteral("Series1"));
    m_series->setPieSize(0.62);
    m_chart = new QChart;
    m_chart->addSeries(m_series);
    m_chart->legend()->hide();
    m_chart->setAnimationOptions(QChart::NoAnimation);
    QFont titleFont = m_chart->titleFont();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.4);
    titleFont.setBold(true);
    m_chart->setTitleFont(titleFont);
    DBChart1 = new QChartView(m_chart);
    DBChart1->setObjectName(QStringLiteral("DBChart1"));
    DBChart1->setRenderHint(QPainter::Antialiasing);

    m_rows = new AnalysisRowsModel(this);
    DBGridEh1 = new QTableView;
    DBGridEh1->setObjectName(QStringLiteral("DBGridEh1"));
    DBGridEh1->setModel(m_rows);
    DBGridEh1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGridEh1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    DBGridEh1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGridEh1->verticalHeader()->setDefaultSectionSize(DBGridEh1->fontMetrics().height() + 6);
    DBGridEh1->horizontalHeader()->setDefaultSectionSize(220);

    m_pages = new QTabWidget;
    m_pages->setObjectName(QStringLiteral("PageControl1"));
    m_pages->addTab(DBChart1, QStringLiteral("图解式"));
    m_pages->addTab(DBGridEh1, QStringLiteral("列表式"));

    auto *splitter = new QSplitter;
    splitter->addWidget(left);
    splitter->addWidget(m_pages);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({180, 720});

    Button1 = new QPushButton(QStringLiteral("打印"));
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Button1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 0);
    layout->addWidget(splitter, 1);
    layout->addLayout(buttons);
    layout->addWidget(createStatusPanels({150, 150, 150, 50}, true, &m_panels));

    connect(Button1, &QPushButton::clicked, this, &TfrmYanpinStatCX::print);
    connect(ListBox1, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *item) { showAnalysis(item->text()); });
    resize(900, 600);
}

TfrmYanpinStatCX::~TfrmYanpinStatCX()
{
    // A result arriving after the window is gone has nowhere to go.
    ++m_generation;
    m_pool.waitForDone();
}

void TfrmYanpinStatCX::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    loadAnalyses();
    m_panels[3]->setText(AppTitle::full() + u' ');
    m_panels[2]->setText(QStringLiteral("样式总数：") +
                         dmData->GetStrValue(QStringLiteral("select count(*) from GoodMain ")));
    ListBox1->setFocus();
}

void TfrmYanpinStatCX::loadAnalyses()
{
    ListBox1->clear();
    QSqlQuery query;
    if (!dmData->OpenSql(query, QStringLiteral("select * from cfg_stat order by F_ID")))
        return;
    while (query.next())
        ListBox1->addItem(query.value(QStringLiteral("F_name")).toString());
}

void TfrmYanpinStatCX::showAnalysis(const QString &name)
{
    const QString stored = dmData->GetStrValue(
        QStringLiteral("select F_SQLtext from cfg_stat where F_name = ? order by F_ID"), {name});
    const QString sql = StatisticsAnalysis::statementFor(name, stored);
    const quint64 generation = ++m_generation;
    auto *watcher = new QFutureWatcher<Analysis>(this);
    connect(watcher, &QFutureWatcher<Analysis>::finished, this,
            [this, watcher, generation, name, sql] {
                watcher->deleteLater();
                if (generation != m_generation)
                    return;
                unsetCursor();
                const Analysis analysis = watcher->result();
                present(name, sql, *analysis.result, analysis.rows);
                emit analysisFinished();
            });
    setCursor(Qt::BusyCursor);
    watcher->setFuture(QtConcurrent::run(&m_pool, [source = dmData->source(), sql] {
        Analysis analysis;
        analysis.result = StatisticsAnalysis::run(source, sql, &analysis.rows);
        return analysis;
    }));
}

void TfrmYanpinStatCX::print()
{
    if (m_rows->rowCount() == 0)
        return;
    Report::Job job;
    job.templateName = QStringLiteral("frStatFx.frf");
    job.texts.insert(QStringLiteral("Memo1"), m_chart->title());
    job.texts.insert(QStringLiteral("Memo2"), m_shownName);
    job.dataSets.insert(QStringLiteral("frDBDataSet1"), {m_shownSql, {}, {}});
    showReport(this, job, QStringLiteral("样品统计分析"));
}

void TfrmYanpinStatCX::present(const QString &name, const QString &sql, const WorkResult &result,
                               const QList<Row> &rows)
{
    if (result.isFailed()) {
        dmData->showFailure(kMsgOpenFailed, result.reason());
        return;
    }
    m_rows->setRows(name, rows);
    m_shownName = name;
    m_shownSql = sql;
    if (rows.isEmpty())
        return;
    m_series->clear();
    const QList<StatisticsAnalysis::Slice> slices = StatisticsAnalysis::pieSlices(rows);
    for (qsizetype i = 0; i < slices.size(); ++i) {
        QPieSlice *slice = m_series->append(slices.at(i).label, slices.at(i).value);
        slice->setLabelVisible(true);
        // Hues around the circle, so that neighbouring slices are told apart at a glance.
        slice->setColor(QColor::fromHsv(int(i * 360 / slices.size()), 150, 225));
        slice->setBorderColor(Qt::white);
    }
    m_chart->setTitle(StatisticsAnalysis::chartTitle(name));
}

QString TfrmYanpinStatCX::statusPanel(int panel) const
{
    return m_panels.at(panel)->text();
}

void showStatisticsAnalysis(QWidget *owner)
{
    TfrmYanpinStatCX window(owner);
    PlaceForm(&window, 0);
    window.exec();
}
