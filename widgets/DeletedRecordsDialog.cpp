#include "widgets/DeletedRecordsDialog.h"

#include "core/DataDm.h"
#include "core/Prompt.h"
#include "core/RecordRestore.h"
#include "widgets/ChangeHistoryDialog.h"
#include "widgets/InputBox.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

DeletedRecordsDialog::DeletedRecordsDialog(const QString &table, const QString &nameColumn,
                                           const QString &title, QWidget *parent)
    : QDialog(parent), m_table(table), m_nameColumn(nameColumn)
{
    setObjectName(QStringLiteral("frmDeletedRecords"));
    setWindowTitle(QStringLiteral("已删除的记录 - ") + title);
    resize(720, 420);
    m_list = new QTableWidget(0, 4);
    m_list->setObjectName(QStringLiteral("grdDeleted"));
    m_list->setHorizontalHeaderLabels({QStringLiteral("删除时间"), QStringLiteral("操作员"),
                                       QStringLiteral("编号"), QStringLiteral("名称")});
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->verticalHeader()->hide();
    m_list->horizontalHeader()->setStretchLastSection(true);
    m_restore = new QPushButton(QStringLiteral("恢复"));
    m_restore->setObjectName(QStringLiteral("btnRestore"));
    auto *close = new QPushButton(QStringLiteral("关闭"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_restore);
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_restore, &QPushButton::clicked, this, &DeletedRecordsDialog::restore);
    connect(m_list, &QTableWidget::doubleClicked, this, &DeletedRecordsDialog::restore);
    load();
}

void DeletedRecordsDialog::load()
{
    QString error;
    const std::optional<QList<Journal::Change>> deleted =
        Journal::deletedRows(dmData->database(), m_table, &error);
    if (!deleted)
        dmData->showFailure(kMsgOpenFailed, error);
    m_deleted = deleted.value_or(QList<Journal::Change>());
    const QString code = RecordRestore::codeColumn(m_table);
    m_list->setRowCount(int(m_deleted.size()));
    for (int row = 0; row < m_deleted.size(); ++row) {
        const Journal::Change &c = m_deleted.at(row);
        const QStringList texts{c.stamp, c.operatorName, shownValue(c.before.value(code)),
                                shownValue(c.before.value(m_nameColumn))};
        for (int column = 0; column < texts.size(); ++column)
            m_list->setItem(row, column, new QTableWidgetItem(texts.at(column)));
    }
    m_list->resizeColumnsToContents();
    if (!m_deleted.isEmpty())
        m_list->setCurrentCell(0, 0);
    m_restore->setEnabled(!m_deleted.isEmpty());
}

void DeletedRecordsDialog::restore()
{
    const int row = m_list->currentRow();
    if (row < 0 || row >= m_deleted.size())
        return;
    const Journal::Change deletion = m_deleted.at(row);
    const QString codeColumn = RecordRestore::codeColumn(m_table);
    QString newCode;
    for (;;) {
        QString error;
        switch (RecordRestore::undelete(dmData->database(), dmData->CurOperName(), deletion,
                                        newCode, &error)) {
        case RecordRestore::Undeleted::Done:
            m_restored << deletion.rowId;
            load();
            return;
        case RecordRestore::Undeleted::Failed:
            dmData->showFailure(kMsgOperationFailed, error);
            return;
        case RecordRestore::Undeleted::CodeTaken: {
            const QString taken =
                newCode.isEmpty() ? deletion.before.value(codeColumn).toString() : newCode;
            const std::optional<QString> chosen = InputBox::text(
                this, QStringLiteral("恢复"),
                QStringLiteral("编号“%1”已被其他记录使用，请输入新的编号：").arg(taken), taken);
            if (!chosen || chosen->trimmed().isEmpty())
                return;
            newCode = chosen->trimmed();
            break;
        }
        }
    }
}
