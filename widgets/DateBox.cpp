#include "widgets/DateBox.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QHBoxLayout>

DateBox::DateBox(QWidget *parent) : QWidget(parent)
{
    m_check = new QCheckBox(this);
    m_check->setObjectName(QStringLiteral("check"));
    m_check->setChecked(true);
    m_edit = new QDateEdit(QDate::currentDate(), this);
    m_edit->setObjectName(QStringLiteral("edit"));
    m_edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    m_edit->setCalendarPopup(true);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_check);
    layout->addWidget(m_edit, 1);
    setFocusProxy(m_edit);
    connect(m_check, &QCheckBox::toggled, this, [this](bool on) {
        m_edit->setEnabled(on);
        emit changed();
    });
    connect(m_edit, &QDateEdit::dateChanged, this, &DateBox::changed);
}

QDate DateBox::date() const
{
    return m_edit->date();
}

void DateBox::setDate(const QDate &date)
{
    m_edit->setDate(date);
}

bool DateBox::isChecked() const
{
    return m_check->isChecked();
}

void DateBox::setChecked(bool checked)
{
    m_check->setChecked(checked);
}
