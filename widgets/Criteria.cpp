#include "widgets/Criteria.h"

#include "widgets/DateBox.h"

#include <QComboBox>
#include <QDate>
#include <QLineEdit>

namespace {

const QString kDateFormat = QStringLiteral("yyyy-MM-dd");

} // namespace

QString goneNote(const QString &what, const QString &name)
{
    return what + QStringLiteral("“") + name + QStringLiteral("”已不存在");
}

void CriteriaSet::add(std::unique_ptr<Criterion> criterion)
{
    m_criteria.push_back(std::move(criterion));
}

QJsonObject CriteriaSet::save() const
{
    QJsonObject saved;
    for (const auto &c : m_criteria)
        saved.insert(c->key(), c->save());
    return saved;
}

void CriteriaSet::restore(const QJsonObject &saved, QStringList *notes) const
{
    for (const auto &c : m_criteria)
        c->restore(saved.value(c->key()), notes);
}

TextMatchCriterion::TextMatchCriterion(const QString &key, QLineEdit *text, QComboBox *fields,
                                       std::function<QString()> match)
    : Criterion(key), m_text(text), m_fields(fields), m_match(std::move(match))
{
}

QJsonValue TextMatchCriterion::save() const
{
    QJsonObject value{{QStringLiteral("text"), m_text->text()}};
    if (m_fields)
        value.insert(QStringLiteral("field"), m_fields->currentText());
    if (m_match)
        value.insert(QStringLiteral("match"), m_match());
    return value;
}

void TextMatchCriterion::restore(const QJsonValue &value, QStringList *notes)
{
    const QJsonObject o = value.toObject();
    if (m_fields) {
        const QString field = o.value(QStringLiteral("field")).toString();
        const int index = field.isEmpty() ? -1 : m_fields->findText(field);
        if (!field.isEmpty() && index < 0)
            *notes << goneNote(QStringLiteral("搜索字段"), field);
        m_fields->setCurrentIndex(index);
    }
    const QString match = o.value(QStringLiteral("match")).toString();
    if (m_match && !match.isEmpty() && match != m_match())
        *notes << QStringLiteral("匹配方式“%1”已改为“%2”").arg(match, m_match());
    m_text->setText(o.value(QStringLiteral("text")).toString());
}

ChosenValueCriterion::ChosenValueCriterion(const QString &key, QLineEdit *edit, Exists exists,
                                           const QString &what)
    : Criterion(key), m_edit(edit), m_exists(std::move(exists)), m_what(what)
{
}

ChosenValueCriterion::ChosenValueCriterion(const QString &key, QComboBox *combo, Exists exists,
                                           const QString &what)
    : Criterion(key), m_combo(combo), m_exists(std::move(exists)), m_what(what)
{
}

QJsonValue ChosenValueCriterion::save() const
{
    return m_edit ? m_edit->text() : m_combo->currentText();
}

void ChosenValueCriterion::restore(const QJsonValue &value, QStringList *notes)
{
    QString text = value.toString();
    if (!text.trimmed().isEmpty() && !m_exists(text.trimmed())) {
        *notes << goneNote(m_what, text);
        text.clear();
    }
    if (m_edit) {
        m_edit->setText(text);
    } else {
        const int index = m_combo->findText(text);
        m_combo->setCurrentIndex(index);
        if (index < 0 && m_combo->isEditable())
            m_combo->setEditText(text);
    }
}

DateRangeCriterion::DateRangeCriterion(const QString &key, DateBox *from, DateBox *to)
    : Criterion(key), m_from(from), m_to(to)
{
}

QJsonValue DateRangeCriterion::save() const
{
    return QJsonObject{{QStringLiteral("from"), m_from->date().toString(kDateFormat)},
                       {QStringLiteral("fromOn"), m_from->isChecked()},
                       {QStringLiteral("to"), m_to->date().toString(kDateFormat)},
                       {QStringLiteral("toOn"), m_to->isChecked()}};
}

void DateRangeCriterion::restore(const QJsonValue &value, QStringList *notes)
{
    const QJsonObject o = value.toObject();
    const auto restoreBox = [&](DateBox *box, const char *dateKey, const char *onKey) {
        const QString text = o.value(QLatin1String(dateKey)).toString();
        const QDate date = QDate::fromString(text, kDateFormat);
        if (date.isValid())
            box->setDate(date);
        else if (!text.isEmpty())
            *notes << QStringLiteral("日期“%1”无效").arg(text);
        box->setChecked(date.isValid() && o.value(QLatin1String(onKey)).toBool());
    };
    restoreBox(m_from, "from", "fromOn");
    restoreBox(m_to, "to", "toOn");
}
