#include "register/SampleDetailTabs.h"

#include "core/DisplayFormat.h"
#include "core/SqlListModel.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace {
using Fields = QList<QPair<QString, QString>>;

QString formatFor(const QString &field)
{
    const QString f = field.toLower();
    if (f.endsWith(u"date"))
        return QStringLiteral("yyyy-MM-dd");
    if (f.contains(u"price"))
        return QStringLiteral("0.00");
    if (f == u"f_amount")
        return QStringLiteral("0.###");
    return {};
}
} // namespace

SampleDetailTabs::SampleDetailTabs(QWidget *parent) : QTabWidget(parent)
{
    setObjectName(QStringLiteral("PageControl1"));
    setDocumentMode(true);
    const auto f = [](const char *field, const char *caption) {
        return qMakePair(QString::fromLatin1(field), QString::fromUtf8(caption));
    };
    addTab(page({f("F_goodCode", "样品编号"), f("F_goodName", "样品名称"),
                 f("F_spec", "规格型号"), f("F_type", "样品类型"), f("F_yanSE", "颜色"),
                 f("F_caiLiao", "材料"), f("F_tiji", "体积"), f("F_baoZhuang", "包装"),
                 f("F_other1", "其他特性"), f("F_other2", "其他特性"),
                 f("F_other3", "其他特性"), f("F_other4", "其他特性")},
                3),
           QStringLiteral("样品信息"));
    m_picturePage = new QWidget;
    m_picturePage->setObjectName(QStringLiteral("tsPicture"));
    addTab(m_picturePage, QStringLiteral("样品图片"));
    addTab(page({f("F_CGdate", "采购日期"), f("F_CGsuppler", "供应商"), f("F_CGunit", "计价单位"),
                 f("F_CGprice", "采购单价"), f("F_CGtype", "币种")},
                3),
           QStringLiteral("采购报价"));
    addTab(page({f("F_XSdate", "销售日期"), f("F_XSclient", "客户"), f("F_XSunit1", "计价单位"),
                 f("F_XSprice1", "销售单价"), f("F_XStype1", "币种"), f("F_XSunit2", "计价单位"),
                 f("F_XSprice2", "销售单价"), f("F_XStype2", "币种")},
                3),
           QStringLiteral("销售报价"));
    auto *remarks = new QWidget;
    auto *remarksLayout = new QVBoxLayout(remarks);
    m_memo = new QPlainTextEdit;
    m_memo->setObjectName(QStringLiteral("dbmMemo1"));
    m_memo->setReadOnly(true);
    remarksLayout->addWidget(m_memo);
    addTab(remarks, QStringLiteral("备注信息"));
}

QWidget *SampleDetailTabs::page(const Fields &fields, int columns)
{
    auto *widget = new QWidget;
    auto *grid = new QGridLayout(widget);
    for (int i = 0; i < fields.size(); ++i) {
        auto *box = new QLineEdit;
        box->setObjectName(QStringLiteral("dbe") + fields[i].first.mid(2));
        box->setReadOnly(true);
        m_boxes.insert(fields[i].first.toLower(), box);
        const int row = i / columns;
        const int column = (i % columns) * 2;
        grid->addWidget(new QLabel(fields[i].second + QStringLiteral("：")), row, column,
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
        it.value()->setText(DisplayFormat::format(value, formatFor(it.key())));
        it.value()->setCursorPosition(0);
    }
    m_memo->setPlainText(row >= 0 ? list->value(row, QStringLiteral("F_Memo1")).toString()
                                  : QString());
}

QString SampleDetailTabs::text(const QString &field) const
{
    if (field.compare(u"F_Memo1", Qt::CaseInsensitive) == 0)
        return m_memo->toPlainText();
    const QLineEdit *box = m_boxes.value(field.toLower());
    return box ? box->text() : QString();
}
