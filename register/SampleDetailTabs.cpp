#include "register/SampleDetailTabs.h"

#include "core/DisplayFormat.h"
#include "core/SqlListModel.h"
#include "register/SampleFields.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

SampleDetailTabs::SampleDetailTabs(QWidget *parent) : QTabWidget(parent)
{
    setObjectName(QStringLiteral("PageControl1"));
    setDocumentMode(true);
    addTab(page({"F_goodCode", "F_goodName", "F_spec", "F_type", "F_yanSE", "F_caiLiao", "F_tiji",
                 "F_baoZhuang", "F_other1", "F_other2", "F_other3", "F_other4"}),
           QStringLiteral("样品信息"));
    m_picturePage = new QWidget;
    m_picturePage->setObjectName(QStringLiteral("tsPicture"));
    addTab(m_picturePage, QStringLiteral("样品图片"));
    addTab(page({"F_CGdate", "F_CGsuppler", "F_CGunit", "F_CGprice", "F_CGtype"}),
           QStringLiteral("采购报价"));
    addTab(page({"F_XSdate", "F_XSclient", "F_XSunit1", "F_XSprice1", "F_XStype1", "F_XSunit2",
                 "F_XSprice2", "F_XStype2"}),
           QStringLiteral("销售报价"));
    auto *remarks = new QWidget;
    auto *remarksLayout = new QVBoxLayout(remarks);
    m_memo = new QPlainTextEdit;
    m_memo->setObjectName(QStringLiteral("dbmMemo1"));
    m_memo->setReadOnly(true);
    remarksLayout->addWidget(m_memo);
    addTab(remarks, QStringLiteral("备注信息"));
}

QWidget *SampleDetailTabs::page(std::initializer_list<const char *> columns)
{
    constexpr int kPerRow = 3;
    auto *widget = new QWidget;
    auto *grid = new QGridLayout(widget);
    int i = 0;
    for (const char *name : columns) {
        const SampleField *field = sampleField(QLatin1String(name));
        auto *box = new QLineEdit;
        box->setObjectName(QStringLiteral("dbe") + field->column.mid(2));
        box->setReadOnly(true);
        m_boxes.insert(field->column.toLower(), {box, field->displayFormat});
        const int row = i / kPerRow;
        const int column = (i % kPerRow) * 2;
        ++i;
        grid->addWidget(new QLabel(field->caption + QStringLiteral("：")), row, column,
                        Qt::AlignRight);
        grid->addWidget(box, row, column + 1);
    }
    grid->setRowStretch(grid->rowCount(), 1);
    return widget;
}

void SampleDetailTabs::showRecord(const SqlListModel *list, int row)
{
    for (auto it = m_boxes.begin(); it != m_boxes.end(); ++it) {
        const QVariant value = row >= 0 ? list->value(row, it.key()) : QVariant();
        it->box->setText(DisplayFormat::format(value, it->format));
        it->box->setCursorPosition(0);
    }
    m_memo->setPlainText(row >= 0 ? list->value(row, QStringLiteral("F_Memo1")).toString()
                                  : QString());
}

QString SampleDetailTabs::text(const QString &field) const
{
    if (field.compare(u"F_Memo1", Qt::CaseInsensitive) == 0)
        return m_memo->toPlainText();
    const auto it = m_boxes.constFind(field.toLower());
    return it != m_boxes.cend() ? it->box->text() : QString();
}
