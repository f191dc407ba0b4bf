#pragma once

#include <QDate>
#include <QWidget>

class QCheckBox;
class QDateEdit;

// A date picker with a check box in front: unticked means "no date".
class DateBox : public QWidget
{
    Q_OBJECT

public:
    explicit DateBox(QWidget *parent = nullptr);

    QDate date() const;
    void setDate(const QDate &date);
    bool isChecked() const;
    void setChecked(bool checked);
    // The date when ticked, else `fallback`.
    QDate dateOr(const QDate &fallback) const { return isChecked() ? date() : fallback; }

signals:
    void changed();

private:
    QCheckBox *m_check;
    QDateEdit *m_edit;
};
