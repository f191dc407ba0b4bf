#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

class DateBox;
class QComboBox;
class QLineEdit;

// One criterion of a list window that writes what it holds as a small value and reads it back.
class Criterion
{
public:
    explicit Criterion(const QString &key) : m_key(key) {}
    virtual ~Criterion() = default;

    // The name of the criterion's value in its window's saved criteria.
    QString key() const { return m_key; }
    virtual QJsonValue save() const = 0;
    // Shows `value` (undefined: the criterion's empty state). A part naming what no longer
    // exists is left out and said in `notes`.
    virtual void restore(const QJsonValue &value, QStringList *notes) = 0;

private:
    QString m_key;
};

// A window's criteria, saved and restored as one object, each under its key.
class CriteriaSet
{
public:
    void add(std::unique_ptr<Criterion> criterion);
    QJsonObject save() const;
    // A criterion the object lacks returns to its empty state.
    void restore(const QJsonObject &saved, QStringList *notes) const;

private:
    std::vector<std::unique_ptr<Criterion>> m_criteria;
};

// A text matched against a field: {"field", "match", "text"}. The field is chosen in `fields`
// (by its caption) or, without that box, fixed; `match` names how the field matches (none:
// the window has no such choice).
class TextMatchCriterion : public Criterion
{
public:
    TextMatchCriterion(const QString &key, QLineEdit *text, QComboBox *fields = nullptr,
                       std::function<QString()> match = {});

    QJsonValue save() const override;
    void restore(const QJsonValue &value, QStringList *notes) override;

private:
    QLineEdit *m_text;
    QComboBox *m_fields;
    std::function<QString()> m_match;
};

// A value chosen from entries that may go away since: a code of a code list, a type path, the
// name of a client, supplier or catalogue entry. Saved as the text itself; a text that
// `exists` no longer finds is dropped, said as `what` followed by the text in quotes.
class ChosenValueCriterion : public Criterion
{
public:
    using Exists = std::function<bool(const QString &)>;
    ChosenValueCriterion(const QString &key, QLineEdit *edit, Exists exists, const QString &what);
    ChosenValueCriterion(const QString &key, QComboBox *combo, Exists exists, const QString &what);

    QJsonValue save() const override;
    void restore(const QJsonValue &value, QStringList *notes) override;

private:
    QLineEdit *m_edit = nullptr;
    QComboBox *m_combo = nullptr;
    Exists m_exists;
    QString m_what;
};

// An edit-date range: {"from", "fromOn", "to", "toOn"}, the dates as yyyy-MM-dd and whether
// each box is ticked.
class DateRangeCriterion : public Criterion
{
public:
    DateRangeCriterion(const QString &key, DateBox *from, DateBox *to);

    QJsonValue save() const override;
    void restore(const QJsonValue &value, QStringList *notes) override;

private:
    DateBox *m_from;
    DateBox *m_to;
};

// The note for a part of a view that names what no longer exists: `what`“`name`”已不存在.
QString goneNote(const QString &what, const QString &name);
