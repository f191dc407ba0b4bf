#include "masterdata/RegisterEditor.h"

#include "core/CodeCombo.h"
#include "core/DataDm.h"
#include "core/EditorBottomBar.h"
#include "core/EditorKeys.h"
#include "core/FieldWithButton.h"
#include "core/MemoBox.h"
#include "core/PlaceForm.h"
#include "core/Prompt.h"
#include "core/Schema.h"
#include "core/Shell.h"
#include "core/SqlListModel.h"
#include "masterdata/RegisterDescription.h"
#include "masterdata/RegisterWindow.h"
#include "masterdata/TypePicker.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// Double-clicking the web-site or e-mail box does what its button does.
class DoubleClickEdit : public QLineEdit
{
public:
    std::function<void()> onDoubleClick;

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override
    {
        QLineEdit::mouseDoubleClickEvent(event);
        if (onDoubleClick)
            onDoubleClick();
    }
};

} // namespace

RegisterEditor::RegisterEditor(RegisterWindow *list)
    : QDialog(list), m_list(list), m_description(list->description())
{
    setObjectName(m_description.editorObjectName);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    auto *layout = new QVBoxLayout(this);
    QList<QGridLayout *> groups;
    QList<int> rows;
    QList<QWidget *> others; // the four attribute boxes share one caption
    for (const RegisterField &field : m_description.fields) {
        while (groups.size() <= field.group) {
            auto *group = new QGroupBox;
            groups << new QGridLayout(group);
            rows << 0;
            layout->addWidget(group);
        }
        QWidget *control = createField(field);
        QGridLayout *grid = groups[field.group];
        if (field.kind == RegisterField::UseFlag) {
            grid->addWidget(control, rows[field.group]++, 1);
        } else if (field.caption.isEmpty()) {
            others << control;
        } else {
            grid->addWidget(new QLabel(field.caption), rows[field.group], 0);
            grid->addWidget(control, rows[field.group]++, 1);
        }
    }
    if (!others.isEmpty()) {
        // The boxes after the first attribute join its row.
        auto *first = m_widgets.value(QStringLiteral("F_other1"));
        auto *row = new QWidget;
        auto *rowLayout = new QHBoxLayout(row);
        rowLayout->setContentsMargins(0, 0, 0, 0);
        QGridLayout *grid = groups.first();
        const int index = grid->indexOf(first);
        int r, c, rs, cs;
        grid->getItemPosition(index, &r, &c, &rs, &cs);
        grid->removeWidget(first);
        rowLayout->addWidget(first);
        for (QWidget *other : others)
            rowLayout->addWidget(other);
        grid->addWidget(row, r, c);
    }
    auto *bottom = new QGroupBox;
    auto *bottomLayout = new QVBoxLayout(bottom);
    m_bottom = new EditorBottomBar;
    bottomLayout->addWidget(m_bottom);
    layout->addWidget(bottom);
    connect(m_bottom->okButton(), &QPushButton::clicked, this, &RegisterEditor::save);
    connect(m_bottom->cancelButton(), &QPushButton::clicked, this, &QDialog::reject);
    connect(m_bottom, &EditorBottomBar::moveRequested, this, [this](EditorBottomBar::Move move) {
        const int row =
            EditorBottomBar::rowAfter(move, m_list->currentRow(), m_list->list()->rowCount());
        if (row < 0)
            return;
        m_list->setCurrentRow(row);
        loadCurrentRow();
    });
    new EditorKeys(this, m_bottom->okButton(), m_bottom->cancelButton());
    setMinimumWidth(460);
    setFixedSize(sizeHint());
    PlaceForm(this, 1);
}

QWidget *RegisterEditor::createField(const RegisterField &field)
{
    const int width = Schema::width(m_description.table, field.column);
    QWidget *control = nullptr;
    switch (field.kind) {
    case RegisterField::UseFlag:
        m_useFlag = new QCheckBox(field.caption);
        m_useFlag->setObjectName(field.objectName);
        m_widgets.insert(field.column, m_useFlag);
        return m_useFlag;
    case RegisterField::Memo: {
        auto *memo = new MemoBox(width);
        memo->setObjectName(field.objectName);
        memo->setFixedHeight(memo->fontMetrics().lineSpacing() * 3 + 10);
        memo->setFocusPolicy(field.tabStop ? Qt::StrongFocus : Qt::ClickFocus);
        m_widgets.insert(field.column, memo);
        return memo;
    }
    case RegisterField::Code: {
        auto *combo = new CodeCombo(field.codeKind);
        combo->setObjectName(field.objectName);
        combo->lineEdit()->setMaxLength(width);
        m_texts.insert(field.column, combo->lineEdit());
        m_widgets.insert(field.column, combo);
        return combo;
    }
    default:
        break;
    }
    auto *edit = new DoubleClickEdit;
    edit->setObjectName(field.objectName);
    edit->setMaxLength(width);
    m_texts.insert(field.column, edit);
    m_widgets.insert(field.column, edit);
    control = edit;
    if (field.kind == RegisterField::Type) {
        edit->setReadOnly(!m_description.typeEditable);
        auto *pick = new QToolButton;
        pick->setObjectName(QStringLiteral("btnPickType"));
        pick->setText(QStringLiteral("..."));
        pick->setFocusPolicy(Qt::NoFocus);
        connect(pick, &QToolButton::clicked, this, [this, edit] {
            edit->setText(PickType(this, m_description.treeKind, edit->text()));
        });
        control = withButton(edit, pick);
    } else if (field.kind == RegisterField::WebSite || field.kind == RegisterField::Email) {
        const bool mail = field.kind == RegisterField::Email;
        auto *button = new QPushButton(mail ? QStringLiteral("发件") : QStringLiteral("打开"));
        button->setObjectName(mail ? QStringLiteral("btnMail") : QStringLiteral("btnWebSite"));
        button->setAutoDefault(false);
        button->setFocusPolicy(Qt::NoFocus);
        const auto run = [this, mail] { mail ? sendMail() : openWebSite(); };
        connect(button, &QPushButton::clicked, this, run);
        edit->onDoubleClick = run;
        control = withButton(edit, button);
    }
    return control;
}

void RegisterEditor::OpenEditor(int mode)
{
    m_change = mode == Change;
    setWindowTitle(m_change ? m_description.editorTitleEdit : m_description.editorTitleNew);
    m_bottom->setChanging(m_change);
    QLineEdit *code = box(QStringLiteral("F_Code"));
    code->setReadOnly(m_change);
    // The code of a saved entry never changes.
    code->setStyleSheet(m_change ? QStringLiteral("QLineEdit { background: #a394f2; }") : QString());
    if (m_change)
        loadCurrentRow();
    else
        clearFields();
    (m_change ? box(QStringLiteral("F_Name")) : code)->setFocus();
}

void RegisterEditor::clearFields()
{
    m_id = 0;
    for (QLineEdit *edit : std::as_const(m_texts))
        edit->clear();
    if (auto *memo = qobject_cast<MemoBox *>(m_widgets.value(QStringLiteral("F_Memo1"))))
        memo->clear();
    m_useFlag->setChecked(false);
}

void RegisterEditor::loadCurrentRow()
{
    for (auto it = m_texts.cbegin(); it != m_texts.cend(); ++it)
        it.value()->setText(m_list->current(it.key()).toString());
    if (auto *memo = qobject_cast<MemoBox *>(m_widgets.value(QStringLiteral("F_Memo1"))))
        memo->setPlainText(m_list->current(QStringLiteral("F_Memo1")).toString());
    m_useFlag->setChecked(m_list->current(QStringLiteral("F_useFlag")).toBool());
    m_id = m_list->current(QStringLiteral("F_ID")).toLongLong();
}

QVariantMap RegisterEditor::values() const
{
    QVariantMap values;
    for (auto it = m_texts.cbegin(); it != m_texts.cend(); ++it)
        values.insert(it.key(), it.value()->text().trimmed());
    if (auto *memo = qobject_cast<MemoBox *>(m_widgets.value(QStringLiteral("F_Memo1"))))
        values.insert(QStringLiteral("F_Memo1"), memo->toPlainText());
    values.insert(QStringLiteral("F_useFlag"), m_useFlag->isChecked());
    return values;
}

bool RegisterEditor::save()
{
    qint64 saved = 0;
    QString error;
    switch (RegisterStore::save(*dmData, m_description, m_change ? m_id : 0, values(), &saved,
                                &error)) {
    case RegisterStore::SaveResult::EmptyCode:
        ShowPrompt(m_description.emptyCodeMessage, Prompt::Information);
        box(QStringLiteral("F_Code"))->setFocus();
        return false;
    case RegisterStore::SaveResult::DuplicateCode:
        ShowPrompt(m_description.duplicateCodeMessage, Prompt::Information);
        box(QStringLiteral("F_Code"))->setFocus();
        return false;
    case RegisterStore::SaveResult::Failed:
        qWarning("register entry not saved: %s", qPrintable(error));
        ShowPrompt(QStringLiteral("保存失败，请检测数据库连接！"), Prompt::Error);
        return false;
    case RegisterStore::SaveResult::Saved:
        break;
    }
    m_list->showEntry(saved);
    if (m_change || !m_bottom->continuousAdd()) {
        accept();
    } else {
        clearFields();
        box(QStringLiteral("F_Code"))->setFocus();
    }
    return true;
}

void RegisterEditor::sendMail()
{
    QLineEdit *mail = box(QStringLiteral("F_Email"));
    const QString address = mail->text().trimmed();
    if (!address.contains(u'@')) {
        ShowPrompt(QStringLiteral("非法电子邮箱！"), Prompt::Error);
        mail->setFocus();
        return;
    }
    Shell::openUrl(QUrl(QStringLiteral("mailto:") + address + QStringLiteral("?subject")));
}

void RegisterEditor::openWebSite()
{
    const QString site = box(QStringLiteral("F_homepage"))->text().trimmed();
    if (!site.isEmpty())
        Shell::openUrl(QUrl::fromUserInput(site));
}
