#include "widgets/ChangeHistoryDialog.h"

#include "core/DataDm.h"
#include "core/Prompt.h"
#include "core/RecordRestore.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QJsonObject>
#include <QPushButton>
#include <QSet>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QTableWidget *table(const QStringList &titles, const char *name)
{
    auto *grid = new QTableWidget(0, int(titles.size()));
    grid->setObjectName(QLatin1String(name));
    grid->setHorizontalHeaderLabels(titles);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->verticalHeader()->hide();
    grid->horizontalHeader()->setStretchLastSection(true);
    return grid;
}

void setRow(QTableWidget *grid, int row, const QStringList &texts)
{
    for (int column = 0; column < texts.size(); ++column)
        grid->setItem(row, column, new QTableWidgetItem(texts.at(column)));
}

} // namespace

QString shownValue(const QJsonValue &value)
{
    if (value.isBool())
        return value.toBool() ? QStringLiteral("是") : QStringLiteral("否");
    if (value.isDouble())
        return QString::number(value.toDouble(), 'g', 15);
    const QString text = value.toString();
    return text == u"1900-08-14" ? QString() : text;
}

ChangeHistoryDialog::ChangeHistoryDialog(const QString &table, qint64 rowId, const QString &title,
                                         Caption caption, QWidget *parent)
    : QDialog(parent), m_table(table), m_rowId(rowId), m_caption(std::move(caption))
{
    setObjectName(QStringLiteral("frmChangeHistory"));
    setWindowTitle(QStringLiteral("修改历史 - ") + title);
    resize(860, 480);
    m_changes = ::table({QStringLiteral("时间"), QStringLiteral("操作员"), QStringLiteral("工作站"),
                         QStringLiteral("类型")},
                        "grdChanges");
    m_differences = ::table(
        {QStringLiteral("栏目"), QStringLiteral("原值"), QStringLiteral("新值")}, "grdDifferences");
    auto *splitter = new QSplitter;
    splitter->addWidget(m_changes);
    splitter->addWidget(m_differences);
    splitter->setStretchFactor(1, 1);
    m_revert = new QPushButton(QStringLiteral("恢复到此版本"));
    m_revert->setObjectName(QStringLiteral("btnRevert"));
    auto *close = new QPushButton(QStringLiteral("关闭"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_revert);
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(splitter, 1);
    layout->addLayout(buttons);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_revert, &QPushButton::clicked, this, &ChangeHistoryDialog::revert);
    connect(m_changes, &QTableWidget::currentCellChanged, this,
            [this](int row) { showChange(row); });
    load();
}

void ChangeHistoryDialog::load()
{
    QString error;
    const std::optional<QList<Journal::Change>> history =
        Journal::historyOf(dmData->database(), m_table, m_rowId, &error);
    if (!history)
        dmData->showFailure(kMsgOpenFailed, error);
    m_history = history.value_or(QList<Journal::Change>());
    m_changes->setRowCount(int(m_history.size()));
    for (int row = 0; row < m_history.size(); ++row) {
        const Journal::Change &c = m_history.at(row);
        setRow(m_changes, row, {c.stamp, c.operatorName, c.station, c.kind});
    }
    m_changes->resizeColumnsToContents();
    if (!m_history.isEmpty())
        m_changes->setCurrentCell(0, 0);
    showChange(m_changes->currentRow());
}

void ChangeHistoryDialog::showChange(int row)
{
    m_differences->setRowCount(0);
    const bool valid = row >= 0 && row < m_history.size();
    // The newest version is the record as it is; a deleted record comes back elsewhere.
    m_revert->setEnabled(valid && row > 0 && m_history.first().action != Journal::Action::Delete &&
                         m_history.at(row).action != Journal::Action::Delete);
    if (!valid)
        return;
    const Journal::Change &c = m_history.at(row);
    QStringList columns = c.before.keys() + c.after.keys();
    columns.removeDuplicates();
    for (const QString &column : std::as_const(columns)) {
        const QString caption = m_caption(column);
        const QString before = shownValue(c.before.value(column));
        const QString after = shownValue(c.after.value(column));
        if (caption.isEmpty() ||
            (c.action != Journal::Action::Update && (before + after).isEmpty()))
            continue;
        const int at = m_differences->rowCount();
        m_differences->insertRow(at);
        setRow(m_differences, at, {caption, before, after});
    }
    m_differences->resizeColumnsToContents();
}

void ChangeHistoryDialog::revert()
{
    const int row = m_changes->currentRow();
    if (row <= 0 || row >= m_history.size())
        return;
    const Journal::Change &c = m_history.at(row);
    if (ShowPrompt(QStringLiteral("把此记录恢复到 %1 %2 %3后的版本吗？")
                       .arg(c.stamp, c.operatorName, c.kind),
                   Prompt::Question) != Prompt::Yes)
        return;
    QString error;
    if (!RecordRestore::revertTo(dmData->database(), dmData->CurOperName(), m_table, m_rowId, c.id,
                                 &error)) {
        dmData->showFailure(kMsgOperationFailed, error);
        return;
    }
    m_reverted = true;
    load();
}
