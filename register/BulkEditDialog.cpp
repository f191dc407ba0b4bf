#include "register/BulkEditDialog.h"

#include "core/DataDm.h"
#include "core/Prompt.h"
#include "masterdata/Pickers.h"
#include "masterdata/TypePicker.h"
#include "register/SampleBoxes.h"
#include "register/SampleFields.h"
#include "register/SampleList.h"
#include "register/SampleRecord.h"
#include "widgets/DialogButtons.h"
#include "widgets/FieldWithButton.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlQuery>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// Codes name one sample each and the edit date is the save's own: neither is set in bulk.
bool isBulkEditable(const SampleField &field)
{
    return field.column != u"F_goodCode" && field.kind != SampleField::EditDate;
}

} // namespace

BulkEditDialog::BulkEditDialog(SampleList &samples, const QList<qint64> &selected, QWidget *parent)
    : QDialog(parent), m_samples(samples), m_selected(selected)
{
    setObjectName(QStringLiteral("dlgBulkEdit"));
    setWindowTitle(QStringLiteral("批量修改"));
    m_column = new QComboBox;
    m_column->setObjectName(QStringLiteral("cbbColumn"));
    for (const SampleField &field : sampleFields()) {
        if (isBulkEditable(field))
            m_column->addItem(field.caption, field.column);
    }
    m_boxPlace = new QVBoxLayout;
    m_boxPlace->setContentsMargins(0, 0, 0, 0);
    m_onlySelected = new QRadioButton(QStringLiteral("所选的 %1 个样品").arg(selected.size()));
    m_onlySelected->setObjectName(QStringLiteral("rbSelected"));
    m_wholeList = new QRadioButton(QStringLiteral("当前列表的全部样品"));
    m_wholeList->setObjectName(QStringLiteral("rbWholeList"));
    (selected.isEmpty() ? m_wholeList : m_onlySelected)->setChecked(true);
    m_onlySelected->setEnabled(!selected.isEmpty());

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("修改栏目："), m_column);
    form->addRow(QStringLiteral("新的值："), m_boxPlace);
    form->addRow(QStringLiteral("修改范围："), m_onlySelected);
    form->addRow(QString(), m_wholeList);
    auto *ok = windowButton("btnOK", "确定");
    auto *cancel = windowButton("btnCancel", "取消");
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttonRow({}, {ok, cancel}));
    connect(ok, &QPushButton::clicked, this, &BulkEditDialog::store);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_column, &QComboBox::currentIndexChanged, this, &BulkEditDialog::showBox);
    showBox();
}

const SampleField &BulkEditDialog::chosenField() const
{
    return *sampleField(m_column->currentData().toString());
}

void BulkEditDialog::showBox()
{
    delete m_box;
    const SampleField &field = chosenField();
    QWidget *box = createSampleBox(field);
    box->setObjectName(QStringLiteral("edtBulkValue"));
    // The pickers of the editor, where it has them.
    using Pick = QString (*)(QWidget *, const QString &);
    Pick pick = field.column == u"F_CGsuppler"  ? Pick(PickSupplier)
                : field.column == u"F_XSclient" ? Pick(PickClient)
                                                : nullptr;
    const bool type = field.column == u"F_type";
    if (pick || type) {
        auto *button = new QToolButton;
        button->setText(QStringLiteral("..."));
        auto *edit = qobject_cast<QLineEdit *>(box);
        connect(button, &QToolButton::clicked, this, [this, edit, pick, type] {
            edit->setText(type ? PickType(this, QStringLiteral("type"), edit->text())
                               : pick(this, edit->text()));
        });
        m_box = withButton(box, button);
    } else {
        m_box = box;
    }
    m_boxPlace->addWidget(m_box);
}

void BulkEditDialog::store()
{
    QList<qint64> ids = m_selected;
    if (m_wholeList->isChecked()) {
        SqlListModel *list = m_samples.model();
        QSqlQuery q;
        if (!dmData->OpenSql(q,
                             QStringLiteral("select F_ID from (%1) listed").arg(list->statement()),
                             list->values()))
            return;
        ids.clear();
        while (q.next())
            ids << q.value(0).toLongLong();
    }
    if (ids.isEmpty())
        return;
    const SampleField &field = chosenField();
    const QVariant value =
        sampleBoxValue(findChild<QWidget *>(QStringLiteral("edtBulkValue")), field);
    if (ShowPrompt(QStringLiteral("把 %1 个样品的“%2”都改为“%3”吗？")
                       .arg(ids.size())
                       .arg(field.caption, value.toString()),
                   Prompt::Question) != Prompt::Yes)
        return;
    QString error;
    const std::optional<qint64> set =
        SampleRecord::bulkEdit(*dmData, ids, field.column, value, &error);
    if (!set) {
        dmData->showFailure(kMsgOperationFailed, error);
        return;
    }
    m_changeSet = *set;
    accept();
}
