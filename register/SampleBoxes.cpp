#include "register/SampleBoxes.h"

#include "core/DisplayFormat.h"
#include "register/SampleFields.h"
#include "register/SampleListQuery.h"
#include "widgets/CodeCombo.h"
#include "widgets/DateBox.h"
#include "widgets/MemoBox.h"
#include "widgets/NumberBox.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>

QWidget *createSampleBox(const SampleField &d)
{
    switch (d.kind) {
    case SampleField::Text:
        return new QLineEdit;
    case SampleField::Code: {
        QComboBox *box = d.codeKind.isEmpty() ? new QComboBox : new CodeCombo(d.codeKind);
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        if (d.codeKind.isEmpty())
            box->addItems(SampleListQuery::secrecyLevels());
        return box;
    }
    case SampleField::Number:
        return new NumberBox(4);
    case SampleField::Date: {
        auto *box = new DateBox;
        for (QWidget *part : box->findChildren<QWidget *>())
            part->setFocusPolicy(Qt::ClickFocus);
        return box;
    }
    case SampleField::Memo:
        return new MemoBox;
    case SampleField::EditDate: {
        auto *box = new QDateEdit;
        box->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        box->setCalendarPopup(true);
        box->setStyleSheet(QStringLiteral("QDateEdit { background: aqua; }"));
        return box;
    }
    }
    return nullptr;
}

QVariant sampleBoxValue(const QWidget *box, const SampleField &d)
{
    switch (d.kind) {
    case SampleField::Text:
        return static_cast<const QLineEdit *>(box)->text().trimmed();
    case SampleField::Code:
        return static_cast<const QComboBox *>(box)->currentText().trimmed();
    case SampleField::Number:
        return static_cast<const NumberBox *>(box)->value();
    case SampleField::Date:
        return static_cast<const DateBox *>(box)->dateOr(DisplayFormat::kNoDate);
    case SampleField::Memo:
        return static_cast<const MemoBox *>(box)->toPlainText().trimmed();
    case SampleField::EditDate:
        return static_cast<const QDateEdit *>(box)->date();
    }
    return {};
}
