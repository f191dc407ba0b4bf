#include "report/uFrmPrintLabels.h"

#include "core/Prompt.h"
#include "core/SqlListModel.h"
#include "report/PrintReport.h"
#include "widgets/DialogButtons.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

TFrmPrintLabels::TFrmPrintLabels(const Labels::Kind &kind, const SqlListModel &list,
                                 QList<qint64> selectedIds, QWidget *parent)
    : QDialog(parent), m_kind(kind), m_list(list), m_selectedIds(std::move(selectedIds))
{
    setObjectName(QStringLiteral("FrmPrintLabels"));
    setWindowTitle(QStringLiteral("打印标签"));
    rbSelected = new QRadioButton(
        QStringLiteral("列表中选中的%1（%2 个）").arg(kind.noun).arg(m_selectedIds.size()));
    rbSelected->setObjectName(QStringLiteral("rbSelected"));
    rbAll = new QRadioButton(
        list.isRowCountKnown()
            ? QStringLiteral("当前筛选的全部%1（%2 个）").arg(kind.noun).arg(list.rowCount())
            : QStringLiteral("当前筛选的全部%1").arg(kind.noun));
    rbAll->setObjectName(QStringLiteral("rbAll"));
    rbSelected->setEnabled(!m_selectedIds.isEmpty());
    // One selected row is mostly just the current one.
    (m_selectedIds.size() > 1 ? rbSelected : rbAll)->setChecked(true);
    cbbTemplate = new QComboBox;
    cbbTemplate->setObjectName(QStringLiteral("cbbTemplate"));
    for (const QString &file : Labels::templates(kind))
        cbbTemplate->addItem(file.chopped(4), file);
    spnFirstLabel = new QSpinBox;
    spnFirstLabel->setObjectName(QStringLiteral("spnFirstLabel"));
    spnFirstLabel->setToolTip(
        QStringLiteral("已用过一部分的标签纸：从第几张标签开始打印（先横排，再往下数）"));
    m_sheet = new QLabel;

    auto *form = new QFormLayout;
    form->addRow(kind.noun + QStringLiteral("："), rbSelected);
    form->addRow(QString(), rbAll);
    form->addRow(QStringLiteral("标签模板："), cbbTemplate);
    auto *first = new QHBoxLayout;
    first->addWidget(spnFirstLabel);
    first->addWidget(m_sheet, 1);
    form->addRow(QStringLiteral("从第几张标签开始："), first);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(okCancelButtons(this));
    connect(cbbTemplate, &QComboBox::currentIndexChanged, this, &TFrmPrintLabels::templateChosen);
    templateChosen();
}

void TFrmPrintLabels::templateChosen()
{
    Report::Template layout;
    QString error;
    const bool read =
        Report::load(Report::templatePath(cbbTemplate->currentData().toString()), &layout, &error);
    const int perSheet = read ? Labels::labelsPerSheet(layout) : 1;
    spnFirstLabel->setRange(1, perSheet);
    spnFirstLabel->setValue(1);
    spnFirstLabel->setEnabled(perSheet > 1);
    m_sheet->setText(perSheet > 1 ? QStringLiteral("（每张纸 %1 个标签）").arg(perSheet)
                                  : QString());
}

bool TFrmPrintLabels::printLabels()
{
    const QString templateName = cbbTemplate->currentData().toString();
    if (templateName.isEmpty()) {
        ShowPrompt(QStringLiteral("Qr 文件夹中没有标签模板（%1*.frf）").arg(m_kind.templatePrefix),
                   Prompt::Warning);
        return false;
    }
    ListQuery entries = m_list.query();
    if (rbSelected->isChecked()) {
        const std::optional<ListQuery> chosen = Labels::selected(m_kind, entries, m_selectedIds);
        if (!chosen) {
            ShowPrompt(QStringLiteral("选中的%1太多（最多 %2 个），请改为打印当前筛选的全部%1")
                           .arg(m_kind.noun)
                           .arg(Labels::kMostSelected),
                       Prompt::Warning);
            return false;
        }
        entries = *chosen;
    } else if (m_list.rowCount() == 0) {
        return false;
    }
    Report::Template layout;
    QString error;
    if (!Report::load(Report::templatePath(templateName), &layout, &error)) {
        ShowPrompt(QStringLiteral("无法生成报表：%1").arg(error), Prompt::Error);
        return false;
    }
    if (!layout.data.isEmpty())
        layout.data.first().firstLabel = spnFirstLabel->value();
    showReport(parentWidget(), Labels::job(m_kind, templateName, entries), layout,
               cbbTemplate->currentText());
    return true;
}

void PrintLabels(QWidget *parent, const Labels::Kind &kind, const SqlListModel &list,
                 const QList<qint64> &selectedIds)
{
    TFrmPrintLabels dialog(kind, list, selectedIds, parent);
    if (dialog.exec() == QDialog::Accepted)
        dialog.printLabels();
}
