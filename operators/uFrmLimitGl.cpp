#include "operators/uFrmLimitGl.h"

#include "core/DataDm.h"
#include "core/Prompt.h"
#include "core/RecordList.h"
#include "core/Schema.h"
#include "operators/OperatorStore.h"
#include "operators/PasswordBox.h"
#include "widgets/CodeCombo.h"
#include "widgets/DialogButtons.h"
#include "widgets/EditorKeys.h"
#include "widgets/MemoBox.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kName = QStringLiteral("F_Name");

} // namespace

TFrmLimitGl::TFrmLimitGl(RecordList &operators, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_operators(operators)
{
    setObjectName(QStringLiteral("FrmLimitGl"));
    setWindowTitle(QStringLiteral("操作员"));

    cbbName = new CodeCombo(QStringLiteral("empname"));
    cbbName->setObjectName(QStringLiteral("cbbName"));
    m_widths.add(kName, cbbName->lineEdit(), Schema::width(QStringLiteral("OperList"), kName),
                 QStringLiteral("用户名称："));
    edtPassWord = passwordBox("edtPassWord");
    edtRepPass = passwordBox("edtRepPass");
    m_passwordHint = new QLabel(QStringLiteral("两个密码框都留空，则保留原来的密码"));
    m_passwordHint->setObjectName(QStringLiteral("lblPassHint"));
    m_passwordHint->setEnabled(false);
    Mem1 = new MemoBox;
    Mem1->setObjectName(QStringLiteral("Mem1"));
    Mem1->setFixedHeight(Mem1->fontMetrics().lineSpacing() * 3 + 10);
    clbOperLimt = new QListWidget;
    clbOperLimt->setObjectName(QStringLiteral("clbOperLimt"));
    CheckBox1 = new QCheckBox(QStringLiteral("用户禁用"));
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    cbXtFlag = new QCheckBox(QStringLiteral("只看到自己的合同"));
    cbXtFlag->setObjectName(QStringLiteral("cbXtFlag"));
    cbXtFlag->hide();

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("用户名称："), cbbName);
    form->addRow(QStringLiteral("初始密码："), edtPassWord);
    form->addRow(QStringLiteral("密码确认："), edtRepPass);
    form->addRow(QString(), m_passwordHint);
    form->addRow(QStringLiteral("详细描述："), Mem1);
    form->addRow(QStringLiteral("权限属性："), clbOperLimt);
    form->addRow(QString(), CheckBox1);

    QPushButton *all = windowButton("btnAll", "全选");
    QPushButton *none = windowButton("btnNone", "清除");
    QPushButton *saveButton = windowButton("btnSave", "保存");
    QPushButton *close = windowButton("btnClose", "关闭");
    connect(all, &QPushButton::clicked, this, [this] { tickAll(true); });
    connect(none, &QPushButton::clicked, this, [this] { tickAll(false); });
    connect(saveButton, &QPushButton::clicked, this, &TFrmLimitGl::save);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(cbXtFlag);
    layout->addLayout(buttonRow({all, none}, {saveButton, close}));
    new EditorKeys(this, saveButton, close);
    resize(420, 560);

    for (const QString &right : OperatorStore::offeredRights(*dmData)) {
        auto *item = new QListWidgetItem(right, clbOperLimt);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        item->setCheckState(Qt::Unchecked);
    }
}

void TFrmLimitGl::OpenEditor(Mode mode)
{
    m_mode = mode;
    m_passwordHint->setVisible(mode == Edit);
    if (mode == Edit)
        loadCurrent();
    else
        clearForm();
    cbbName->setFocus();
}

void TFrmLimitGl::clearForm()
{
    m_id = 0;
    m_loadedName.clear();
    m_loaded.clear();
    cbbName->setEditText(QString());
    edtPassWord->clear();
    edtRepPass->clear();
    Mem1->clear();
    CheckBox1->setChecked(false);
    cbXtFlag->setChecked(false);
    tickAll(false);
}

void TFrmLimitGl::loadCurrent()
{
    m_id = m_operators.value(QStringLiteral("F_ID")).toLongLong();
    const QString name = m_operators.value(kName).toString();
    m_loadedName = name;
    m_loaded = {{kName, name}};
    m_widths.lift();
    cbbName->setEditText(name);
    m_widths.settle();
    // The stored password cannot be read back: empty boxes keep it.
    edtPassWord->clear();
    edtRepPass->clear();
    Mem1->setPlainText(m_operators.value(QStringLiteral("F_Mem")).toString());
    CheckBox1->setChecked(m_operators.value(QStringLiteral("F_Flag")).toBool());
    cbXtFlag->setChecked(m_operators.value(QStringLiteral("F_xtFlag")).toBool());
    const QStringList granted = OperatorStore::grantedRights(*dmData, name);
    for (int i = 0; i < clbOperLimt->count(); ++i) {
        QListWidgetItem *item = clbOperLimt->item(i);
        item->setCheckState(granted.contains(item->text()) ? Qt::Checked : Qt::Unchecked);
    }
}

void TFrmLimitGl::tickAll(bool ticked)
{
    for (int i = 0; i < clbOperLimt->count(); ++i)
        clbOperLimt->item(i)->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
}

QStringList TFrmLimitGl::tickedRights() const
{
    QStringList rights;
    for (int i = 0; i < clbOperLimt->count(); ++i) {
        if (clbOperLimt->item(i)->checkState() == Qt::Checked)
            rights << clbOperLimt->item(i)->text();
    }
    return rights;
}

bool TFrmLimitGl::save()
{
    if (cbbName->currentText().trimmed().isEmpty()) {
        ShowPrompt(QStringLiteral("操作员名称不能为空！"), Prompt::Information);
        cbbName->setFocus();
        return false;
    }
    if (edtRepPass->text() != edtPassWord->text()) {
        ShowPrompt(QStringLiteral("验正码不正确，请重新确认输入！"), Prompt::Information);
        edtRepPass->setFocus();
        return false;
    }
    QVariantMap name{{kName, cbbName->currentText().trimmed()}};
    if (!m_widths.fit(&name, m_loaded))
        return false;

    OperatorEntry entry;
    entry.id = m_id;
    entry.name = name.value(kName, m_loadedName).toString();
    if (m_mode == Add || !edtPassWord->text().isEmpty())
        entry.password = edtPassWord->text();
    entry.memo = Mem1->toPlainText();
    entry.disabled = CheckBox1->isChecked();
    entry.ownRecordsOnly = cbXtFlag->isChecked();
    entry.rights = tickedRights();
    qint64 savedId = 0;
    QString error;
    switch (OperatorStore::save(*dmData, entry, &savedId, &error)) {
    case OperatorStore::SaveResult::EmptyName:
        ShowPrompt(QStringLiteral("操作员名称不能为空！"), Prompt::Information);
        cbbName->setFocus();
        return false;
    case OperatorStore::SaveResult::DuplicateName:
        ShowPrompt(QStringLiteral("操作员名称重复，请重新输入！"), Prompt::Information);
        cbbName->setFocus();
        return false;
    case OperatorStore::SaveResult::Failed:
        dmData->showFailure(QStringLiteral("保存失败，请检测数据库连接！"), error);
        return false;
    case OperatorStore::SaveResult::Saved:
        break;
    }
    OperatorStore::followChange(*dmData, m_mode == Edit ? m_loadedName : entry.name, entry.name);
    if (!m_operators.showSaved(savedId))
        dmData->showFailure(kMsgOpenFailed);
    if (m_mode == Edit) {
        accept();
    } else {
        clearForm();
        cbbName->setFocus();
    }
    return true;
}
