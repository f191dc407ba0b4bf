#include "masterdata/RegisterEditor.h"

#include "core/DataDm.h"
#include "core/Prompt.h"
#include "core/RecordList.h"
#include "core/Schema.h"
#include "core/Shell.h"
#include "masterdata/RegisterDescription.h"
#include "masterdata/RegisterStore.h"
#include "masterdata/TypePicker.h"
#include "widgets/CodeCombo.h"
#include "widgets/FieldWithButton.h"
#include "widgets/MemoBox.h"
#include "widgets/PlaceForm.h"

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

RegisterEditor::RegisterEditor(const RegisterDescription &description, RecordList &entries,
                               QWidget *parent)
    : RecordEditor(entries, parent), m_description(description)
{
    setObjectName(m_description.editorObjectName);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    auto *layout = new QVBoxLayout(this);
    QList<QGridLayout *> groups;
    QHBoxLayout *lastRow = nullptr;
    QString rowCaption;
    for (const RegisterField &field : m_description.fields) {
        while (groups.size() <= field.group) {
            auto *group = new QGroupBox;
            groups << new QGridLayout(group);
            layout->addWidget(group);
        }
        if (!field.caption.isEmpty())
            rowCaption = field.caption;
        QWidget *control = createField(field, rowCaption);
        // A box without a caption joins the row of the captioned box before it.
        if (field.caption.isEmpty() && lastRow) {
            lastRow->addWidget(control);
            continue;
        }
        QGridLayout *grid = groups[field.group];
        const int row = grid->rowCount();
        auto *cell = new QWidget;
        lastRow = new QHBoxLayout(cell);
        lastRow->setContentsMargins(0, 0, 0, 0);
        lastRow->addWidget(control);
        if (field.kind != RegisterField::UseFlag)
            grid->addWidget(new QLabel(field.caption), row, 0);
        grid->addWidget(cell, row, 1);
    }
    auto *bottom = new QGroupBox;
    auto *bottomLayout = new QVBoxLayout(bottom);
    layout->addWidget(bottom);
    finishForm(bottomLayout);
    setMinimumWidth(460);
    setFixedSize(sizeHint());
    PlaceForm(this, 1);
    showMode(RecordEditor::Mode::New);
}

QWidget *RegisterEditor::createField(const RegisterField &field, const QString &rowCaption)
{
    const int width = Schema::width(m_description.table, field.column);
    switch (field.kind) {
    case RegisterField::UseFlag:
        m_useFlag = new QCheckBox(field.caption);
        m_useFlag->setObjectName(field.objectName);
        return m_useFlag;
    case RegisterField::Memo: {
        m_memo = new MemoBox;
        m_memo->setObjectName(field.objectName);
        limitText(field.column, m_memo, width, rowCaption);
        m_memo->setFixedHeight(m_memo->fontMetrics().lineSpacing() * 3 + 10);
        m_memo->setFocusPolicy(field.tabStop ? Qt::StrongFocus : Qt::ClickFocus);
        return m_memo;
    }
    case RegisterField::Code: {
        auto *combo = new CodeCombo(field.codeKind);
        combo->setObjectName(field.objectName);
        limitText(field.column, combo->lineEdit(), width, rowCaption);
        m_texts.insert(field.column, combo->lineEdit());
        return combo;
    }
    default:
        break;
    }
    auto *edit = new DoubleClickEdit;
    edit->setObjectName(field.objectName);
    limitText(field.column, edit, width, rowCaption);
    m_texts.insert(field.column, edit);
    if (field.kind == RegisterField::Type) {
        edit->setReadOnly(!m_description.typeEditable);
        auto *pick = new QToolButton;
        pick->setObjectName(QStringLiteral("btnPickType"));
        pick->setText(QStringLiteral("..."));
        pick->setFocusPolicy(Qt::NoFocus);
        connect(pick, &QToolButton::clicked, this, [this, edit] {
            edit->setText(PickType(this, m_description.treeKind, edit->text()));
        });
        return withButton(edit, pick);
    }
    if (field.kind == RegisterField::WebSite || field.kind == RegisterField::Email) {
        const bool mail = field.kind == RegisterField::Email;
        auto *button = new QPushButton(mail ? QStringLiteral("发件") : QStringLiteral("打开"));
        button->setObjectName(mail ? QStringLiteral("btnMail") : QStringLiteral("btnWebSite"));
        button->setAutoDefault(false);
        button->setFocusPolicy(Qt::NoFocus);
        const auto run = [this, mail] { mail ? sendMail() : openWebSite(); };
        connect(button, &QPushButton::clicked, this, run);
        edit->onDoubleClick = run;
        return withButton(edit, button);
    }
    return edit;
}

void RegisterEditor::OpenEditor(int mode)
{
    start(mode == Change ? RecordEditor::Mode::Change : RecordEditor::Mode::New);
}

void RegisterEditor::showMode(RecordEditor::Mode mode)
{
    const bool change = mode == RecordEditor::Mode::Change;
    setWindowTitle(change ? m_description.editorTitleEdit : m_description.editorTitleNew);
    QLineEdit *code = box(QStringLiteral("F_Code"));
    code->setReadOnly(change);
    // The code of a saved entry never changes.
    code->setStyleSheet(change ? QStringLiteral("QLineEdit { background: #a394f2; }") : QString());
}

QWidget *RegisterEditor::firstField(RecordEditor::Mode mode) const
{
    return box(mode == RecordEditor::Mode::Change ? QStringLiteral("F_Name")
                                                  : QStringLiteral("F_Code"));
}

void RegisterEditor::clearRecord()
{
    for (QLineEdit *edit : std::as_const(m_texts))
        edit->clear();
    m_memo->clear();
    m_useFlag->setChecked(false);
}

void RegisterEditor::loadRecord()
{
    for (auto it = m_texts.cbegin(); it != m_texts.cend(); ++it)
        it.value()->setText(records().value(it.key()).toString());
    m_memo->setPlainText(records().value(QStringLiteral("F_Memo1")).toString());
    m_useFlag->setChecked(records().value(QStringLiteral("F_useFlag")).toBool());
}

QVariantMap RegisterEditor::values() const
{
    QVariantMap values;
    for (auto it = m_texts.cbegin(); it != m_texts.cend(); ++it)
        values.insert(it.key(), it.value()->text().trimmed());
    values.insert(QStringLiteral("F_Memo1"), m_memo->toPlainText());
    values.insert(QStringLiteral("F_useFlag"), m_useFlag->isChecked());
    return values;
}

QString RegisterEditor::columnCaption(const QString &column) const
{
    for (const RegisterField &field : m_description.fields) {
        if (field.column.compare(column, Qt::CaseInsensitive) == 0)
            return field.caption;
    }
    return column;
}

RecordEditor::Stored RegisterEditor::store(qint64 id, const QVariantMap &values,
                                           const QVariantMap &asRead, qint64 *saved,
                                           StaleRecord *stale, QString *error)
{
    switch (RegisterStore::save(*dmData, m_description, id, values, saved, error, asRead, stale)) {
    case RegisterStore::SaveResult::Stale:
        return Stored::Stale;
    case RegisterStore::SaveResult::EmptyCode:
        ShowPrompt(m_description.emptyCodeMessage, Prompt::Information);
        box(QStringLiteral("F_Code"))->setFocus();
        return Stored::Refused;
    case RegisterStore::SaveResult::DuplicateCode:
        ShowPrompt(m_description.duplicateCodeMessage, Prompt::Information);
        box(QStringLiteral("F_Code"))->setFocus();
        return Stored::Refused;
    case RegisterStore::SaveResult::Failed:
        return Stored::Failed;
    case RegisterStore::SaveResult::Saved:
        break;
    }
    return Stored::Saved;
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
    Shell::openOrTell(QUrl(QStringLiteral("mailto:") + address + QStringLiteral("?subject")));
}

void RegisterEditor::openWebSite()
{
    const QString site = box(QStringLiteral("F_homepage"))->text().trimmed();
    if (!site.isEmpty())
        Shell::openOrTell(QUrl::fromUserInput(site));
}
