#include "maintenance/uFrmDataClear.h"

#include "core/DataDm.h"
#include "core/Prompt.h"
#include "maintenance/DataClear.h"
#include "widgets/DialogButtons.h"
#include "widgets/PlaceForm.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Clearing the sample records takes their pictures, the catalogue and the clients with them.
constexpr int kSampleRecords = 0;
const QList<int> kWithSampleRecords = {1, 2, 3};

} // namespace

TFrmDataClear::TFrmDataClear(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FrmDataClear"));
    setWindowTitle(QStringLiteral("数据清理"));
    auto *layout = new QVBoxLayout(this);
    auto *heading = new QLabel(QStringLiteral("数据清理"));
    QFont big = heading->font();
    big.setPointSize(big.pointSize() + 6);
    big.setBold(true);
    heading->setFont(big);
    layout->addWidget(heading);

    auto *group = new QGroupBox;
    auto *grid = new QGridLayout(group);
    const QList<DataClear::Choice> &choices = DataClear::choices();
    for (int i = 0; i < choices.size(); ++i) {
        auto *box = new QCheckBox(choices[i].caption);
        box->setObjectName(QStringLiteral("CheckBox%1").arg(i + 1));
        grid->addWidget(box, i / 3, i % 3);
        m_boxes << box;
    }
    connect(m_boxes[kSampleRecords], &QCheckBox::toggled, this, [this](bool checked) {
        if (!checked)
            return;
        for (int i : kWithSampleRecords)
            m_boxes[i]->setChecked(true);
    });
    layout->addWidget(group);

    QPushButton *all = windowButton("Button3", "全选");
    QPushButton *none = windowButton("Button4", "不选");
    QPushButton *run = windowButton("Button1", "确定");
    QPushButton *close = windowButton("Button2", "关闭");
    layout->addLayout(buttonRow({all, none}, {run, close}));
    connect(all, &QPushButton::clicked, this, [this] { setAll(true); });
    connect(none, &QPushButton::clicked, this, [this] { setAll(false); });
    connect(run, &QPushButton::clicked, this, &TFrmDataClear::clearChosen);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    PlaceForm(this, 0);
}

void TFrmDataClear::setAll(bool checked)
{
    for (QCheckBox *box : std::as_const(m_boxes))
        box->setChecked(checked);
}

void TFrmDataClear::clearChosen()
{
    if (ShowPrompt(QStringLiteral("数据清理，将删除所有列表框所选中的所有数据表的数据，\n"
                                  "建议您在清理之前，备份当前数据，真的要清除当前数据吗？"),
                   Prompt::Question) != Prompt::Yes)
        return;
    QList<int> chosen;
    for (int i = 0; i < m_boxes.size(); ++i) {
        if (m_boxes[i]->isChecked())
            chosen << i;
    }
    QString error;
    if (!DataClear::clear(*dmData, chosen, &error)) {
        qWarning("data not cleared: %s", qPrintable(error));
        ShowPrompt(QStringLiteral("操作失败，请检查连接..."), Prompt::Error);
        return;
    }
    m_cleared = m_cleared || !chosen.isEmpty();
    ShowPrompt(QStringLiteral("数据清理成功！"), Prompt::Information);
}
