#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;

// The small value-entry dialog: a picture's name for the picture list, or the value to fill
// a whole column with for the spreadsheet import.
class TDLGeditCurList : public QDialog
{
    Q_OBJECT

public:
    // The reason a text cannot be taken, shown as information; empty when it can.
    using Check = std::function<QString(const QString &text)>;

    explicit TDLGeditCurList(QWidget *parent = nullptr);

    // The text confirmed, else empty. `check` sees the text trimmed.
    static QString askPictureName(QWidget *parent, const QString &prompt,
                                  const QString &defaultText, const Check &check);
    static QString askColumnValue(QWidget *parent, const QString &defaultText);

    void accept() override;

private:
    QString run(const QString &defaultText);

    QLabel *m_label;
    QLineEdit *m_edit;
    Check m_check;
};
