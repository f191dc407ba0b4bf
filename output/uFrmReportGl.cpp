#include "output/uFrmReportGl.h"

#include "core/SqlListModel.h"
#include "designer/DesignReport.h"
#include "register/SampleFields.h"
#include "register/SampleList.h"
#include "report/PrintReport.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

TFrmReportGl::TFrmReportGl(SampleList &samples, QWidget *parent)
    : QDialog(parent), m_samples(samples)
{
    setObjectName(QStringLiteral("FrmReportGl"));
    setWindowTitle(QStringLiteral("报表管理器"));
    ListBox1 = new QListWidget;
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    for (const MainReports::Info &report : MainReports::all())
        ListBox1->addItem(report.caption);
    auto *hint = new QLabel(QStringLiteral("要设计或预览报表，请先在列表框中选中后再操作"));
    hint->setWordWrap(true);
    auto *design = new QPushButton(QStringLiteral("设计"));
    design->setObjectName(QStringLiteral("Button3"));
    auto *show = new QPushButton(QStringLiteral("预览"));
    show->setObjectName(QStringLiteral("Button4"));
    auto *close = new QPushButton(QStringLiteral("关闭"));
    close->setObjectName(QStringLiteral("Button5"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(design);
    buttons->addWidget(show);
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(ListBox1, 1);
    layout->addWidget(hint);
    layout->addLayout(buttons);
    connect(design, &QPushButton::clicked, this, &TFrmReportGl::design);
    connect(show, &QPushButton::clicked, this, &TFrmReportGl::preview);
    connect(ListBox1, &QListWidget::itemDoubleClicked, this, &TFrmReportGl::preview);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    resize(360, 300);
}

int TFrmReportGl::selectedRow() const
{
    // The list makes its first item current when it gets the focus, without selecting it.
    const QList<QListWidgetItem *> selected = ListBox1->selectedItems();
    return selected.isEmpty() ? -1 : ListBox1->row(selected.first());
}

void TFrmReportGl::preview()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    showMainReport(this, m_samples, MainReports::all().at(row).kind);
}

void TFrmReportGl::design()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    const MainReports::Info &report = MainReports::all().at(row);
    QHash<QString, QString> captions;
    for (const SampleField &field : sampleFields())
        captions.insert(field.column.toLower(), field.caption);
    DesignReport(this,
                 MainReports::job(report.kind, m_samples.model()->query(), m_samples.statements()),
                 report.caption, captions);
}

void showMainReport(QWidget *parent, SampleList &samples, MainReports::Kind kind)
{
    if (samples.rowCount() == 0)
        return;
    showReport(parent, MainReports::job(kind, samples.model()->query(), samples.statements()),
               MainReports::all().at(kind).caption);
}
