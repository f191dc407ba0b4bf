#include "register/SampleScanBox.h"

#include "core/SqlFilter.h"
#include "core/SqlListModel.h"
#include "register/SampleList.h"
#include "register/SampleScan.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

namespace {

// More samples of one code than a list of them is worth.
constexpr int kMostListed = 1000;

} // namespace

SampleScanBox::SampleScanBox(SampleList &samples, QWidget *parent)
    : QWidget(parent), m_samples(samples)
{
    setObjectName(QStringLiteral("pnlScan"));
    edtScan = new QLineEdit;
    edtScan->setObjectName(QStringLiteral("edtScan"));
    edtScan->setPlaceholderText(QStringLiteral("样品编号或条型码"));
    edtScan->setClearButtonEnabled(true);
    edtScan->setMinimumWidth(140);
    auto *label = new QLabel(QStringLiteral("扫码(F4)"));
    label->setBuddy(edtScan);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(label);
    layout->addWidget(edtScan);
    connect(edtScan, &QLineEdit::returnPressed, this, [this] {
        const QString code = edtScan->text();
        // The box is ready for the next scan at once.
        edtScan->clear();
        scan(code);
    });
    connect(samples.model(), &SqlListModel::located, this, &SampleScanBox::located);
}

void SampleScanBox::takeScan()
{
    edtScan->setFocus(Qt::ShortcutFocusReason);
    edtScan->selectAll();
}

void SampleScanBox::scan(const QString &code)
{
    m_pending = -1;
    m_code = code.trimmed();
    if (m_code.isEmpty())
        return;
    QList<qint64> ids;
    QString error;
    if (!SampleScan::find(m_samples.model()->database(), m_code, kMostListed, &ids, &error)) {
        emit told(QStringLiteral("查找样品失败：%1").arg(error));
        return;
    }
    if (ids.isEmpty()) {
        emit told(QStringLiteral("未找到样品：%1").arg(m_code));
        return;
    }
    if (ids.size() > 1) {
        SqlFilter filter(SqlDialect::of(m_samples.model()->database()));
        QStringList marks(ids.size(), QStringLiteral("?"));
        QVariantList values;
        for (qint64 id : std::as_const(ids))
            values << id;
        filter.add(QStringLiteral("F_ID in (%1)").arg(marks.join(u',')), values);
        m_samples.runAdvanced(filter);
        emit listReplaced();
        emit told(QStringLiteral("编号或条型码为 %1 的样品有 %2 个，列表中只列出了它们")
                      .arg(m_code)
                      .arg(ids.size()));
        return;
    }
    m_pending = ids.first();
    m_widened = false;
    m_samples.model()->locate(QStringLiteral("F_ID"), m_pending);
}

void SampleScanBox::located(int row)
{
    if (m_pending < 0)
        return;
    if (row >= 0) {
        m_pending = -1;
        emit told(
            m_widened
                ? QStringLiteral("样品 %1 不在当前筛选的列表中：已列出全部样品并选中它").arg(m_code)
                : QStringLiteral("已选中样品：%1").arg(m_code));
        return;
    }
    if (m_widened) {
        // Deleted by another workstation since it was found.
        m_pending = -1;
        emit told(QStringLiteral("未找到样品：%1").arg(m_code));
        return;
    }
    m_widened = true;
    // The list is not read again from within its own signal.
    QMetaObject::invokeMethod(
        this,
        [this, id = m_pending] {
            if (m_pending != id)
                return;
            m_samples.runAdvanced(SqlFilter(SqlDialect::of(m_samples.model()->database())));
            emit listReplaced();
            m_samples.model()->locate(QStringLiteral("F_ID"), id);
        },
        Qt::QueuedConnection);
}
