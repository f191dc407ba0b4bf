#pragma once

#include "widgets/Criteria.h"

#include <QJsonObject>
#include <QWidget>

class DateBox;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QToolButton;
struct SampleListCriteria;

// The main window's search bar: the search field and its value (with a picker for the
// supplier and client fields), 查找, the edit-date range, the navigator button and the
// advanced query button.
class SampleSearchBar : public QWidget
{
    Q_OBJECT

public:
    explicit SampleSearchBar(QWidget *parent = nullptr);

    // Adds the bar's part of the list's criteria: field, value, date range.
    void fillCriteria(SampleListCriteria *criteria) const;
    // The range from the first of this month to today, without asking for a new list.
    void startWithThisMonth();
    // The advanced query button stays down, its caption red, while its filter lists.
    bool isAdvancedDown() const;
    // The tick 拼音: a Latin value also finds names by their pinyin. Set without asking for a
    // new list; a click on it asks for one and tells pinyinToggled().
    bool isPinyinOn() const;
    void setPinyinOn(bool on);
    void setAdvancedDown(bool down);
    // The search field, its text and the date range as one value, and back, without asking
    // for a new list; what no longer exists is said in `notes`.
    QJsonObject saveCriteria() const;
    void restoreCriteria(const QJsonObject &saved, QStringList *notes);

signals:
    // The criteria changed: the list is to be read again.
    void changed();
    void advancedToggled(bool down);
    void pinyinToggled(bool on);
    void navigatorToggled();
    // Enter in the value box while 样品编号 or 条型码 is chosen: `code` is to be found as a
    // scan finds it.
    void codeEntered(const QString &code);

private:
    void chooseSearchField(int index);

    QComboBox *ComboBox1;
    QLineEdit *Edit1;
    QToolButton *m_btnPick;
    QCheckBox *chkPinyin;
    DateBox *dtpFromDate;
    DateBox *dtpToDate;
    QPushButton *m_btnAdvanced;
    CriteriaSet m_criteria;
};
