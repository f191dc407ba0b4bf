#pragma once

#include "core/SqlDialect.h"
#include "core/SqlFilter.h"

#include <QDialog>
#include <optional>

class DateBox;
class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// "样品记录查询对话框": searches the sample register on most text columns and on three date
// ranges at once. The answer is the filter on GoodMain; the main window lists its rows.
class TDLGrevazezCX : public QDialog
{
    Q_OBJECT

public:
    explicit TDLGrevazezCX(QWidget *parent = nullptr);

    // Shows the dialog modally; the filter when 查询(&P) was pressed, nothing otherwise.
    static std::optional<SqlFilter> ask(QWidget *parent);

    // The criteria and ticked ranges as they stand, every typed value bound.
    SqlFilter filter(const SqlDialect &dialect) const;

private:
    struct Criterion
    {
        QWidget *box;
        QString column;
        SqlFilter::Match match;
    };
    struct Range
    {
        QCheckBox *check;
        DateBox *from;
        DateBox *to;
        const char *column;
    };

    QString criterionText(QWidget *box) const;
    void pickType();

    QList<Criterion> m_criteria;
    QList<Range> m_ranges;
    QLineEdit *m_edtType;
    QPushButton *m_btnQuery;
    QPushButton *m_btnClose;
    QPlainTextEdit *m_memo;
};
