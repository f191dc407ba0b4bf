#include "masterdata/uDLGenterCaption.h"

#include "core/Prompt.h"
#include "widgets/DialogButtons.h"
#include "widgets/PlaceForm.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

TDLGenterCaption::TDLGenterCaption(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("DLGenterCaption"));

    auto *group = new QGroupBox;
    group->setObjectName(QStringLiteral("GroupBox1"));
    auto *row = new QHBoxLayout(group);
    auto *label = new QLabel(QStringLiteral("节点名称"));
    label->setObjectName(QStringLiteral("Label1"));
    m_edtCaption = new QLineEdit;
    m_edtCaption->setObjectName(QStringLiteral("edtCaption"));
    // F_name holds 50 characters.
    m_edtCaption->setMaxLength(50);
    m_edtCaption->setMinimumWidth(220);
    label->setBuddy(m_edtCaption);
    row->addWidget(label);
    row->addWidget(m_edtCaption);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(okCancelButtons(this));
    setFixedSize(sizeHint());
}

void TDLGenterCaption::setNodeName(const QString &name)
{
    m_edtCaption->setText(name);
}

QString TDLGenterCaption::AskNodeName(const QString &title)
{
    setWindowTitle(title);
    PlaceForm(this, 1);
    m_edtCaption->selectAll();
    m_edtCaption->setFocus();
    return exec() == QDialog::Accepted ? m_edtCaption->text() : QString();
}

void TDLGenterCaption::accept()
{
    if (m_edtCaption->text().trimmed().isEmpty()) {
        ShowPrompt(QStringLiteral("部门名称不能为空！"), Prompt::Information);
        m_edtCaption->setFocus();
        return;
    }
    QDialog::accept();
}
