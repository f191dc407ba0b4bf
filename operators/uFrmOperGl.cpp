#include "operators/uFrmOperGl.h"

#include "core/DataDm.h"
#include "core/Prompt.h"
#include "core/RecordList.h"
#include "core/SqlListModel.h"
#include "operators/OperatorStore.h"
#include "operators/uFrmLimitGl.h"
#include "widgets/DBGridEh.h"
#include "widgets/DialogButtons.h"
#include "widgets/PlaceForm.h"
#include "widgets/ShortcutsFirst.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTableView>
#include <QVBoxLayout>

TfrmOperGl::TfrmOperGl(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("frmOperGl"));
    setWindowTitle(QStringLiteral("操作员权限管理"));

    m_operators = new RecordList(this);
    DBGridEh1 = new DBGridEh;
    DBGridEh1->setObjectName(QStringLiteral("DBGridEh1"));
    GridColumn name;
    name.field = QStringLiteral("F_Name");
    name.caption = QStringLiteral("操作员");
    name.width = 180;
    DBGridEh1->setColumns({name});
    DBGridEh1->setList(m_operators);
    DBGridEh1->setDisabledFlagField(QStringLiteral("F_Flag"));

    m_description = new QPlainTextEdit;
    m_description->setObjectName(QStringLiteral("memDescription"));
    m_description->setReadOnly(true);
    m_showDisabled = new QCheckBox(QStringLiteral("显示禁用操作员"));
    m_showDisabled->setObjectName(QStringLiteral("chkShowDisabled"));

    QPushButton *add = windowButton("btnAdd", "新增");
    QPushButton *edit = windowButton("btnEdit", "修改");
    QPushButton *remove = windowButton("btnDelete", "删除");
    QPushButton *close = windowButton("btnClose", "关闭");
    connect(add, &QPushButton::clicked, this, &TfrmOperGl::addOperator);
    connect(edit, &QPushButton::clicked, this, &TfrmOperGl::editOperator);
    connect(remove, &QPushButton::clicked, this, &TfrmOperGl::deleteOperator);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto *side = new QVBoxLayout;
    side->addWidget(new QLabel(QStringLiteral("其他描述")));
    side->addWidget(m_description, 1);
    side->addWidget(m_showDisabled);
    auto *body = new QHBoxLayout;
    body->addWidget(DBGridEh1, 1);
    body->addLayout(side, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addLayout(buttonRow({}, {add, edit, remove, close}));

    connect(m_showDisabled, &QCheckBox::clicked, this, &TfrmOperGl::RefreshList);
    connect(m_operators, &RecordList::currentRowChanged, this, [this] {
        m_description->setPlainText(m_operators->value(QStringLiteral("F_Mem")).toString());
    });
    connect(DBGridEh1, &DBGridEh::rowDoubleClicked, this, &TfrmOperGl::editOperator);

    const struct
    {
        QKeySequence key;
        const char *button;
    } keys[] = {{QKeySequence(QStringLiteral("Ctrl+A")), "btnAdd"},
                {QKeySequence(QStringLiteral("Ctrl+E")), "btnEdit"},
                {QKeySequence(Qt::Key_Delete), "btnDelete"}};
    for (const auto &k : keys) {
        auto *shortcut = new QShortcut(k.key, this);
        connect(shortcut, &QShortcut::activated, this,
                [this, button = k.button] { runIfEnabled(button); });
    }
    // The grid would take Ctrl+A as select-all.
    new ShortcutsFirst(this, {QKeySequence(QStringLiteral("Ctrl+A"))});
    resize(480, 360);
}

void TfrmOperGl::runIfEnabled(const char *buttonName)
{
    auto *button = findChild<QPushButton *>(QLatin1String(buttonName));
    if (button->isEnabled() && button->isVisible())
        button->click();
}

void TfrmOperGl::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    RefreshList();
    DBGridEh1->view()->setFocus();
}

void TfrmOperGl::RefreshList()
{
    if (!m_operators->model()->setQuery(
            dmData->database(),
            OperatorStore::listSql(dmData->dialect(), m_showDisabled->isChecked()), {},
            OperatorStore::kListOrder))
        dmData->showFailure(kMsgOpenFailed);
}

void TfrmOperGl::addOperator()
{
    TFrmLimitGl editor(*m_operators, this);
    editor.OpenEditor(TFrmLimitGl::Add);
    PlaceForm(&editor, 0);
    editor.exec();
}

void TfrmOperGl::editOperator()
{
    if (!m_operators->hasCurrent()) {
        ShowPrompt(QStringLiteral("此表为空，没有记录需要修改！"), Prompt::Error);
        return;
    }
    if (OperatorStore::isAdmin(m_operators->value(QStringLiteral("F_Name")).toString())) {
        ShowPrompt(QStringLiteral("此用户为系统默认用户，不能修改和编辑！"), Prompt::Error);
        return;
    }
    TFrmLimitGl editor(*m_operators, this);
    editor.OpenEditor(TFrmLimitGl::Edit);
    PlaceForm(&editor, 0);
    editor.exec();
}

void TfrmOperGl::deleteOperator()
{
    if (!m_operators->hasCurrent()) {
        ShowPrompt(QStringLiteral("此表是空表，不需要删除！"), Prompt::Information);
        return;
    }
    const QString name = m_operators->value(QStringLiteral("F_Name")).toString();
    if (OperatorStore::isAdmin(name)) {
        ShowPrompt(QStringLiteral("此用户为系统默认用户，不能删除！"), Prompt::Error);
        return;
    }
    if (ShowPrompt(QStringLiteral("真的要删除当前操作员 \"") + name + QStringLiteral("\" 吗？"),
                   Prompt::Question) != Prompt::Yes)
        return;
    QString error;
    if (!OperatorStore::remove(*dmData, m_operators->value(QStringLiteral("F_ID")).toLongLong(),
                               &error)) {
        dmData->showFailure(kMsgDeleteFailed, error);
        return;
    }
    OperatorStore::followChange(*dmData, name, name);
    if (!m_operators->reloadAfterDelete())
        dmData->showFailure(kMsgOpenFailed);
}

void showOperGl(QWidget *owner)
{
    TfrmOperGl window(owner);
    PlaceForm(&window, 0);
    window.exec();
}
