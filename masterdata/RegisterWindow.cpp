#include "masterdata/RegisterWindow.h"

#include "core/CodeListValues.h"
#include "core/CodeLookup.h"
#include "core/DataDm.h"
#include "core/Prompt.h"
#include "core/RecordList.h"
#include "core/SqlListModel.h"
#include "designer/DesignReport.h"
#include "masterdata/RegisterEditor.h"
#include "masterdata/RegisterStore.h"
#include "masterdata/TreeCodeView.h"
#include "report/PrintReport.h"
#include "report/uFrmPrintLabels.h"
#include "spreadsheet/ExportGridToExcel.h"
#include "widgets/ChangeHistoryDialog.h"
#include "widgets/DBGridEh.h"
#include "widgets/DeletedRecordsDialog.h"
#include "widgets/ShortcutsFirst.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QStackedWidget>
#include <QTableView>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// More entries of one code than are worth counting.
constexpr int kMostScanned = 1000;

ListFrame registerFrame(const RegisterDescription &description)
{
    ListFrame frame;
    frame.objectName = description.objectName;
    frame.title = description.listTitle;
    frame.columns = description.columns;
    frame.layoutKey = description.layoutKey;
    frame.commands = {{"tbNew", "新增", "document-new", "Ctrl+A"},
                      {"tbEdit", "修改", "document-edit", "Ctrl+E"},
                      {"tbDelete", "删除", "edit-delete"},
                      {"tbHistory", "修改历史", "document-open-recent"},
                      {"tbDeleted", "已删除的记录", "edit-undo"},
                      {},
                      {"tbFirst", "首项", "go-first"},
                      {"tbPrior", "前项", "go-previous"},
                      {"tbNext", "后项", "go-next"},
                      {"tbLast", "末项", "go-last"},
                      {},
                      {"tbPrint", "打印", "document-print"},
                      {"tbLabels", "打印标签", "view-barcode-qr"},
                      {"tbDesign", "设置", "document-page-setup"},
                      {"tbExport", "导出", "document-export"},
                      {},
                      {"tbExit", "退出", "application-exit"}};
    return frame;
}

} // namespace

RegisterWindow::RegisterWindow(const RegisterDescription &description, QWidget *parent)
    : ListWindow(registerFrame(description), parent), m_description(description)
{
    setWindowFlags(Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    m_tree = new QTreeWidget;
    m_tree->setObjectName(QStringLiteral("tvTree"));
    m_tree->setHeaderHidden(true);
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->setMinimumWidth(120);

    DBGridEh1->setDisabledFlagField(QStringLiteral("F_useFlag"));
    DBGridEh1->view()->setSelectionMode(QAbstractItemView::ExtendedSelection);

    auto *right = new QWidget;
    auto *rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->addWidget(createSearchBar());
    rightLayout->addWidget(DBGridEh1, 1);
    auto *splitter = new QSplitter;
    splitter->addWidget(m_tree);
    splitter->addWidget(right);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({195, 600});

    m_pickButtons = new QWidget;
    auto *pickLayout = new QHBoxLayout(m_pickButtons);
    pickLayout->addStretch(1);
    auto *ok = new QPushButton(QStringLiteral("确定"));
    ok->setObjectName(QStringLiteral("btnOK"));
    auto *cancel = new QPushButton(QStringLiteral("取消"));
    cancel->setObjectName(QStringLiteral("btnCancel"));
    pickLayout->addWidget(ok);
    pickLayout->addWidget(cancel);
    m_pickButtons->hide();
    connect(ok, &QPushButton::clicked, this, [this] {
        if (currentRow() >= 0)
            accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    connectCommands();
    layOut({{splitter, 1}, {m_pickButtons, 0}});

    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, &RegisterWindow::RefreshList);
    connect(list(), &SqlListModel::aggregatesReady, this, [this] {
        setStatusPanel(2, QStringLiteral("记录数：%1").arg(m_records->rowCount()));
        updateMoves();
    });
    connect(m_records, &RecordList::currentRowChanged, this, &RegisterWindow::updateMoves);
    connect(list(), &SqlListModel::located, this, &RegisterWindow::scanLocated);
    connect(DBGridEh1, &DBGridEh::rowDoubleClicked, this, [this] {
        if (m_picker)
            accept();
        else if (m_actions.value(QStringLiteral("tbEdit"))->isEnabled())
            editEntry();
    });

    addGridKeys({{Qt::Key_Delete, "tbDelete"}, {Qt::Key_Home, "tbFirst"}, {Qt::Key_End, "tbLast"}});
    for (QWidget *child : findChildren<QWidget *>())
        child->installEventFilter(this);
    // Ctrl+A adds an entry even while the search box has the focus.
    new ShortcutsFirst(this, {QKeySequence(QStringLiteral("Ctrl+A"))});
    resize(900, 560);
}

void RegisterWindow::connectCommands()
{
    connect(m_actions.value(QStringLiteral("tbDesign")), &QAction::triggered, this, [this] {
        DesignReport(this, ListJob(m_description.reportTemplate, list()->query()),
                     m_description.listTitle, fieldCaptions(DBGridEh1->columns()));
    });
    connect(m_actions.value(QStringLiteral("tbPrint")), &QAction::triggered, this, [this] {
        printList(this, m_description.reportTemplate, *list(), m_description.listTitle);
    });
    QAction *labels = m_actions.value(QStringLiteral("tbLabels"));
    connect(labels, &QAction::triggered, this, [this] {
        QList<qint64> ids;
        for (int row : DBGridEh1->selectedRows())
            ids << m_records->value(row, QStringLiteral("F_ID")).toLongLong();
        PrintLabels(this, m_description.labels, *list(), ids);
    });
    // The grid's pop-up offers it above the layout commands.
    auto *separator = new QAction(this);
    separator->setSeparator(true);
    DBGridEh1->view()->insertActions(DBGridEh1->view()->actions().value(0), {labels, separator});
    connect(m_actions.value(QStringLiteral("tbExport")), &QAction::triggered, this,
            [this] { ExportGridToExcel(DBGridEh1, m_description.exportTitle, true); });
    connect(m_actions.value(QStringLiteral("tbNew")), &QAction::triggered, this,
            &RegisterWindow::newEntry);
    connect(m_actions.value(QStringLiteral("tbEdit")), &QAction::triggered, this,
            &RegisterWindow::editEntry);
    connect(m_actions.value(QStringLiteral("tbDelete")), &QAction::triggered, this,
            &RegisterWindow::deleteEntry);
    connect(m_actions.value(QStringLiteral("tbHistory")), &QAction::triggered, this,
            &RegisterWindow::showHistory);
    connect(m_actions.value(QStringLiteral("tbDeleted")), &QAction::triggered, this,
            &RegisterWindow::showDeleted);
    connect(m_actions.value(QStringLiteral("tbFirst")), &QAction::triggered, this,
            [this] { setCurrentRow(0); });
    connect(m_actions.value(QStringLiteral("tbPrior")), &QAction::triggered, this,
            [this] { setCurrentRow(currentRow() - 1); });
    connect(m_actions.value(QStringLiteral("tbNext")), &QAction::triggered, this,
            [this] { setCurrentRow(currentRow() + 1); });
    connect(m_actions.value(QStringLiteral("tbLast")), &QAction::triggered, this,
            [this] { setCurrentRow(m_records->rowCount() - 1); });
}

QWidget *RegisterWindow::createSearchBar()
{
    auto *bar = new QWidget;
    auto *layout = new QHBoxLayout(bar);
    layout->setContentsMargins(2, 2, 2, 2);
    cbbSearchType = new QComboBox;
    cbbSearchType->setObjectName(QStringLiteral("cbbSearchType"));
    for (const RegisterSearch &search : m_description.searches)
        cbbSearchType->addItem(search.caption);
    cbbSearchType->setCurrentIndex(-1);
    layout->addWidget(new QLabel(QStringLiteral("查询类型：")));
    layout->addWidget(cbbSearchType);
    layout->addWidget(new QLabel(QStringLiteral("查询内容：")));
    // The text box and the value box take turns in one place.
    auto *place = new QStackedWidget;
    edtSearch = new QLineEdit;
    edtSearch->setObjectName(QStringLiteral("edtSearch"));
    edtSearch->setClearButtonEnabled(true);
    cbbSearchValue = new QComboBox;
    cbbSearchValue->setObjectName(QStringLiteral("cbbSearchValue"));
    place->addWidget(edtSearch);
    place->addWidget(cbbSearchValue);
    place->setFixedHeight(edtSearch->sizeHint().height());
    layout->addWidget(place, 1);
    auto *find = new QPushButton(QStringLiteral("查找"));
    find->setObjectName(QStringLiteral("btnSearch"));
    find->setAutoDefault(false);
    layout->addWidget(find);
    auto *toggleTree = new QToolButton;
    toggleTree->setObjectName(QStringLiteral("btnTree"));
    toggleTree->setIcon(QIcon::fromTheme(QStringLiteral("view-split-left-right")));
    toggleTree->setToolTip(QStringLiteral("显示或隐藏类型树"));
    layout->addWidget(toggleTree);
    chkDisabled = new QCheckBox(QStringLiteral("包含已停用"));
    chkDisabled->setObjectName(QStringLiteral("chkDisabled"));
    layout->addWidget(chkDisabled);

    connect(cbbSearchType, &QComboBox::activated, this, &RegisterWindow::chooseSearch);
    connect(edtSearch, &QLineEdit::textChanged, this, &RegisterWindow::RefreshList);
    connect(cbbSearchValue, &QComboBox::currentTextChanged, this, &RegisterWindow::RefreshList);
    connect(find, &QPushButton::clicked, this, &RegisterWindow::RefreshList);
    connect(chkDisabled, &QCheckBox::toggled, this, &RegisterWindow::RefreshList);
    connect(toggleTree, &QToolButton::clicked, this,
            [this] { m_tree->setVisible(!m_tree->isVisible()); });
    return bar;
}

void RegisterWindow::chooseSearch(int index)
{
    const RegisterSearch &search = m_description.searches.at(index);
    auto *place = static_cast<QStackedWidget *>(edtSearch->parentWidget());
    {
        const QSignalBlocker quietText(edtSearch);
        const QSignalBlocker quietValue(cbbSearchValue);
        edtSearch->clear();
        cbbSearchValue->clear();
        if (!search.codeKind.isEmpty()) {
            cbbSearchValue->addItems(codeListValues(search.codeKind));
            cbbSearchValue->setCurrentIndex(-1);
        }
    }
    place->setCurrentWidget(search.codeKind.isEmpty() ? static_cast<QWidget *>(edtSearch)
                                                      : cbbSearchValue);
    RefreshList();
}

void RegisterWindow::shownFirst()
{
    QTreeWidgetItem *root = LoadTreeCode(m_tree, m_description.treeRoot, m_description.treeKind);
    root->setExpanded(true);
    // The whole register shows at once.
    m_tree->setCurrentItem(root);
    RefreshList();
    edtSearch->setFocus();
}

void RegisterWindow::RefreshList()
{
    // A new list voids a scan being located in the old one.
    m_scan.reset();
    QTreeWidgetItem *node = m_tree->currentItem();
    if (!node)
        return;
    RegisterQuery query;
    query.search = cbbSearchType->currentIndex();
    query.text = edtSearch->text();
    query.value = cbbSearchValue->currentText();
    query.typeLikeCode = isRootNode(node) ? QString() : nodeLikeCode(node);
    query.includeDisabled = chkDisabled->isChecked();
    const SqlFilter filter = RegisterStore::listFilter(m_description, query, dmData->dialect());
    if (!list()->setQuery(dmData->database(), RegisterStore::listSql(m_description, filter),
                          filter.values(), RegisterStore::kListOrder))
        dmData->showFailure(kMsgOpenFailed);
}

void RegisterWindow::showEntry(qint64 id)
{
    if (!m_records->showSaved(id))
        dmData->showFailure(kMsgOpenFailed);
}

int RegisterWindow::currentRow() const
{
    return m_records->currentRow();
}

void RegisterWindow::setCurrentRow(int row)
{
    m_records->setCurrentRow(row);
}

QVariant RegisterWindow::current(const QString &field) const
{
    return m_records->value(field);
}

void RegisterWindow::updateMoves()
{
    const int row = currentRow();
    const int last = m_records->rowCount() - 1;
    m_actions.value(QStringLiteral("tbFirst"))->setEnabled(row > 0);
    m_actions.value(QStringLiteral("tbPrior"))->setEnabled(row > 0);
    m_actions.value(QStringLiteral("tbNext"))->setEnabled(row >= 0 && row < last);
    m_actions.value(QStringLiteral("tbLast"))->setEnabled(row >= 0 && row < last);
}

void RegisterWindow::newEntry()
{
    openEditor(RegisterEditor::New);
}

void RegisterWindow::editEntry()
{
    if (!m_records->hasCurrent()) {
        ShowPrompt(QStringLiteral("此表为空，没有记录需要修改！"), Prompt::Error);
        return;
    }
    openEditor(RegisterEditor::Change);
}

void RegisterWindow::openEditor(int mode)
{
    RegisterEditor editor(m_description, *m_records, this);
    editor.OpenEditor(mode);
    editor.exec();
}

void RegisterWindow::deleteEntry()
{
    if (!m_records->hasCurrent())
        return;
    const QString question = m_description.deleteQuestion +
                             current(QStringLiteral("F_Name")).toString() + QStringLiteral("吗？");
    if (ShowPrompt(question, Prompt::Question) != Prompt::Yes)
        return;
    QString error;
    if (!RegisterStore::remove(*dmData, m_description, current(QStringLiteral("F_ID")).toLongLong(),
                               &error)) {
        dmData->showFailure(kMsgDeleteFailed, error);
        return;
    }
    if (!m_records->reloadAfterDelete())
        dmData->showFailure(kMsgOpenFailed);
}

void RegisterWindow::showHistory()
{
    if (!m_records->hasCurrent())
        return;
    const qint64 id = current(QStringLiteral("F_ID")).toLongLong();
    const RegisterDescription &description = m_description;
    ChangeHistoryDialog history(
        description.table, id, current(QStringLiteral("F_Name")).toString(),
        [&description](const QString &column) {
            for (const RegisterField &field : description.fields) {
                if (field.column.compare(column, Qt::CaseInsensitive) == 0)
                    return field.caption;
            }
            return QString();
        },
        this);
    history.exec();
    if (history.hasReverted() && !m_records->showSaved(id))
        dmData->showFailure(kMsgOpenFailed);
}

void RegisterWindow::showDeleted()
{
    DeletedRecordsDialog deleted(m_description.table, QStringLiteral("F_Name"), m_description.noun,
                                 this);
    deleted.exec();
    if (!deleted.restored().isEmpty() && !m_records->showSaved(deleted.restored().last()))
        dmData->showFailure(kMsgOpenFailed);
}

void RegisterWindow::scanCode(const QString &code)
{
    m_scan.reset();
    const QString value = code.trimmed();
    if (!searchScans() || value.isEmpty())
        return;
    const RegisterSearch &search = m_description.searches.at(cbbSearchType->currentIndex());
    // The list shows what starts with the code; the next scan replaces it.
    if (edtSearch->text() != value)
        edtSearch->setText(value);
    edtSearch->selectAll();
    QList<qint64> ids;
    QString error;
    if (!CodeLookup::find(dmData->database(), m_description.table, {search.column}, value,
                          kMostScanned, &ids, &error)) {
        tellScan(QStringLiteral("查找%1失败：%2").arg(m_description.noun, error));
        return;
    }
    if (ids.isEmpty()) {
        tellScan(QStringLiteral("未找到%1：%2").arg(m_description.noun, value));
        return;
    }
    m_scan = PendingScan{ids.first(), value, QString(search.caption).remove(u' '), ids.size()};
    list()->locate(QStringLiteral("F_ID"), ids.first());
}

void RegisterWindow::scanLocated(int row)
{
    if (!m_scan)
        return;
    const QString &noun = m_description.noun;
    if (row >= 0) {
        QString text = m_scan->widened
                           ? QStringLiteral("%1 %2 不在当前筛选的列表中：已列出全部%1并选中它")
                                 .arg(noun, m_scan->code)
                           : QStringLiteral("已选中%1：%2").arg(noun, m_scan->code);
        if (m_scan->found > 1)
            text += QStringLiteral("（%1相同的%2有 %3 个）")
                        .arg(m_scan->caption, noun)
                        .arg(m_scan->found);
        m_scan.reset();
        tellScan(text);
        // In a picker the next Enter takes the entry found.
        if (m_picker)
            DBGridEh1->view()->setFocus();
        return;
    }
    if (m_scan->widened) {
        // Deleted by another workstation since it was found.
        tellScan(QStringLiteral("未找到%1：%2").arg(noun, m_scan->code));
        m_scan.reset();
        return;
    }
    m_scan->widened = true;
    // The list is not read again from within its own signal.
    QMetaObject::invokeMethod(
        this,
        [this, id = m_scan->id] {
            if (!m_scan || m_scan->id != id)
                return;
            const PendingScan scan = *m_scan;
            {
                const QSignalBlocker quietText(edtSearch);
                const QSignalBlocker quietDisabled(chkDisabled);
                m_tree->setCurrentItem(m_tree->topLevelItem(0));
                chkDisabled->setChecked(true);
                edtSearch->setText(scan.code);
                edtSearch->selectAll();
            }
            RefreshList();
            m_scan = scan;
            list()->locate(QStringLiteral("F_ID"), id);
        },
        Qt::QueuedConnection);
}

bool RegisterWindow::searchScans() const
{
    const int search = cbbSearchType->currentIndex();
    return search >= 0 && m_description.searches.at(search).scanned;
}

void RegisterWindow::tellScan(const QString &text)
{
    setStatusPanel(0, text);
}

QVariantMap RegisterWindow::currentRowValues() const
{
    QVariantMap values;
    for (const QString &field : list()->fieldNames())
        values.insert(field.toLower(), current(field));
    return values;
}

std::optional<QVariantMap> RegisterWindow::pickRow()
{
    m_picker = true;
    m_pickButtons->show();
    if (exec() != QDialog::Accepted || currentRow() < 0)
        return std::nullopt;
    return currentRowValues();
}

bool RegisterWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    const bool enter = (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
                       (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (!enter)
        return QDialog::eventFilter(watched, event);
    if (watched == DBGridEh1->view()) {
        if (m_picker)
            accept();
        else
            focusNextChild();
        return true;
    }
    if (qobject_cast<QPushButton *>(watched))
        return QDialog::eventFilter(watched, event);
    if (watched == edtSearch && searchScans() && !edtSearch->text().trimmed().isEmpty()) {
        // A scanner ends its code with Enter.
        scanCode(edtSearch->text());
        return true;
    }
    if (watched == m_tree)
        RefreshList();
    else
        focusNextChild();
    return true;
}
