#include "masterdata/CodeListWindow.h"

#include "core/AppTitle.h"
#include "core/DataDm.h"
#include "core/Prompt.h"
#include "masterdata/CodeListDelegate.h"
#include "report/PrintReport.h"
#include "widgets/GridLayout.h"
#include "widgets/PlaceForm.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QStatusBar>
#include <QTabBar>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

const QString kNothingToEdit = QStringLiteral("此表为空，没有记录需要修改！");
const QString kNothingToDelete = QStringLiteral("此表是空表，不需要删除！");

QList<bool> numericFlags(const QList<CodeListColumn> &columns)
{
    QList<bool> flags;
    for (const CodeListColumn &c : columns)
        flags << c.numeric;
    return flags;
}

} // namespace

CodeListWindow::CodeListWindow(const CodeListDescription &description, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_description(description)
{
    setObjectName(description.objectName);
    setWindowTitle(description.title);

    auto *toolBar = new QToolBar;
    toolBar->setObjectName(QStringLiteral("ToolBar1"));
    toolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    toolBar->setMovable(false);
    m_new =
        addCommand(QStringLiteral("tbNew"), QStringLiteral("新增"), QStringLiteral("document-new"));
    m_edit = addCommand(QStringLiteral("tbEdit"), QStringLiteral("修改"),
                        QStringLiteral("document-properties"));
    m_delete = addCommand(QStringLiteral("tbDelete"), QStringLiteral("删除"),
                          QStringLiteral("edit-delete"));
    m_save = addCommand(QStringLiteral("tbSave"), QStringLiteral("保存"),
                        QStringLiteral("document-save"));
    m_cancel =
        addCommand(QStringLiteral("tbCancel"), QStringLiteral("取消"), QStringLiteral("edit-undo"));
    m_print = addCommand(QStringLiteral("tbPrint"), QStringLiteral("打印"),
                         QStringLiteral("document-print"));
    m_refresh = addCommand(QStringLiteral("tbRefresh"), QStringLiteral("刷新"),
                           QStringLiteral("view-refresh"));
    m_exit = addCommand(QStringLiteral("tbExit"), QStringLiteral("退出"),
                        QStringLiteral("application-exit"));
    toolBar->addActions({m_new, m_edit, m_delete});
    toolBar->addSeparator();
    toolBar->addActions({m_save, m_cancel});
    toolBar->addSeparator();
    toolBar->addActions({m_print, m_refresh});
    toolBar->addSeparator();
    toolBar->addAction(m_exit);
    connect(m_new, &QAction::triggered, this, &CodeListWindow::newRow);
    connect(m_edit, &QAction::triggered, this, &CodeListWindow::editRows);
    connect(m_delete, &QAction::triggered, this, &CodeListWindow::deleteRow);
    connect(m_save, &QAction::triggered, this, &CodeListWindow::save);
    connect(m_cancel, &QAction::triggered, this, &CodeListWindow::cancel);
    connect(m_refresh, &QAction::triggered, this, &CodeListWindow::refresh);
    connect(m_print, &QAction::triggered, this,
            [this] { PrintGrid(this, m_grid, QStringLiteral("基本代码列表")); });
    connect(m_exit, &QAction::triggered, this, &QDialog::close);

    m_model = new CodeListModel(description.columns, this);
    m_delegate = new CodeListDelegate(numericFlags(description.columns), this);
    m_grid = new QTableView;
    m_grid->setObjectName(QStringLiteral("DBGrid1"));
    m_grid->setModel(m_model);
    m_grid->setItemDelegate(m_delegate);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->verticalHeader()->hide();
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    addColumnChooserMenu(m_grid);
    connect(m_grid, &QTableView::doubleClicked, this, [this] {
        if (m_edit->isEnabled())
            m_edit->trigger();
    });

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolBar);
    createBand();
    layout->addWidget(m_grid, 1);
    createStatusBar();

    setFixedSize(QSize(460, 480));
    setEditing(false);
    if (m_tabs)
        openTab(0);
    else
        m_model->open(description.kind);
    setCurrentRow(0);
    qApp->installEventFilter(this);
}

QAction *CodeListWindow::addCommand(const QString &name, const QString &caption,
                                    const QString &icon)
{
    auto *action = new QAction(QIcon::fromTheme(icon), caption, this);
    action->setObjectName(name);
    return action;
}

void CodeListWindow::createBand()
{
    auto *layout = static_cast<QVBoxLayout *>(this->layout());
    if (m_description.tabs.isEmpty()) {
        auto *label = new QLabel(m_description.bandText);
        label->setObjectName(QStringLiteral("lblBase"));
        label->setContentsMargins(8, 6, 8, 6);
        layout->addWidget(label);
        return;
    }
    m_tabs = new QTabBar;
    m_tabs->setObjectName(QStringLiteral("PageControl1"));
    m_tabs->setExpanding(false);
    for (const CodeListDescription::Tab &tab : std::as_const(m_description.tabs))
        m_tabs->setTabData(m_tabs->addTab(tab.caption), tab.name);
    connect(m_tabs, &QTabBar::currentChanged, this, [this](int index) {
        openTab(index);
        setCurrentRow(0);
    });
    layout->addWidget(m_tabs);
}

void CodeListWindow::createStatusBar()
{
    auto *bar = new QStatusBar;
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(false);
    for (int i = 0; i < 4; ++i) {
        auto *panel = new QLabel(i == 3 ? AppTitle::full() + QStringLiteral("  ") : QString());
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panel->setFrameShape(QFrame::StyledPanel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setMinimumWidth(50);
        if (i == 3)
            bar->addPermanentWidget(panel, 1);
        else
            bar->addWidget(panel);
    }
    layout()->addWidget(bar);
}

QString CodeListWindow::kind() const
{
    return m_model->kind();
}

void CodeListWindow::openTab(int index)
{
    const CodeListDescription::Tab &tab = m_description.tabs.at(index);
    for (int i = 0; i < m_description.columns.size(); ++i) {
        if (m_description.columns[i].caption.isEmpty())
            m_model->setCaption(i, tab.caption);
    }
    m_model->open(tab.name.mid(1));
}

void CodeListWindow::setEditing(bool editing)
{
    m_editing = editing;
    for (QAction *browsing : {m_new, m_edit, m_delete, m_refresh, m_exit})
        browsing->setEnabled(!editing);
    m_save->setEnabled(editing);
    m_cancel->setEnabled(editing);
    m_print->setEnabled(!editing);
    if (m_tabs)
        m_tabs->setEnabled(!editing);
    m_model->setEditable(editing);
    m_grid->setEditTriggers(editing ? QAbstractItemView::AnyKeyPressed |
                                          QAbstractItemView::DoubleClicked |
                                          QAbstractItemView::EditKeyPressed
                                    : QAbstractItemView::NoEditTriggers);
}

int CodeListWindow::currentRow() const
{
    const QModelIndex current = m_grid->currentIndex();
    return current.isValid() ? current.row() : 0;
}

void CodeListWindow::setCurrentRow(int row)
{
    if (m_model->rowCount() == 0)
        return;
    const int column = qMax(0, m_grid->currentIndex().column());
    m_grid->setCurrentIndex(m_model->index(qBound(0, row, m_model->rowCount() - 1), column));
}

void CodeListWindow::appendRow()
{
    const QModelIndex added = m_model->index(m_model->appendRow(), 0);
    m_grid->setCurrentIndex(added);
    m_grid->setFocus();
    m_grid->edit(added);
}

void CodeListWindow::newRow()
{
    setEditing(true);
    appendRow();
}

void CodeListWindow::editRows()
{
    if (m_model->rowCount() == 0) {
        ShowPrompt(kNothingToEdit, Prompt::Error);
        return;
    }
    setEditing(true);
    m_grid->setFocus();
}

void CodeListWindow::deleteRow()
{
    if (m_model->rowCount() == 0) {
        ShowPrompt(kNothingToDelete, Prompt::Information);
        return;
    }
    const int row = currentRow();
    const QString tabCaption = m_tabs ? m_tabs->tabText(m_tabs->currentIndex()) : QString();
    if (ShowPrompt(m_description.deleteQuestion(tabCaption, m_model->name(row)),
                   Prompt::Question) == Prompt::No)
        return;
    m_model->removeStoredRow(row);
}

void CodeListWindow::save()
{
    m_delegate->finishEditing();
    const int row = currentRow();
    QString error;
    // Unlike a lost batch, a refused one stays on screen to be put right and saved again.
    if (!m_model->sendChanges(&error)) {
        ShowPrompt(kMsgOperationFailed + u'\n' + error, Prompt::Error);
        return;
    }
    setEditing(false);
    setCurrentRow(row);
}

void CodeListWindow::cancel()
{
    const int row = currentRow();
    setEditing(false);
    m_model->discardChanges();
    setCurrentRow(row);
}

void CodeListWindow::refresh()
{
    m_model->open(m_model->kind());
    setCurrentRow(0);
}

void CodeListWindow::showEvent(QShowEvent *event)
{
    if (!m_placed) {
        PlaceForm(this, 0);
        m_placed = true;
    }
    QDialog::showEvent(event);
    m_grid->setFocus();
}

bool CodeListWindow::isInGrid(QObject *object) const
{
    auto *widget = qobject_cast<QWidget *>(object);
    return widget && (widget == m_grid || m_grid->isAncestorOf(widget));
}

void CodeListWindow::moveToNextColumn()
{
    m_delegate->finishEditing();
    const QModelIndex current = m_grid->currentIndex();
    if (!current.isValid())
        return;
    const int next = (current.column() + 1) % m_model->columnCount();
    m_grid->setCurrentIndex(m_model->index(current.row(), next));
}

bool CodeListWindow::previewKey(QKeyEvent *event, QObject *receiver)
{
    const auto run = [](QAction *action) {
        if (!action->isEnabled())
            return false;
        action->trigger();
        return true;
    };
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (modifiers == Qt::ControlModifier) {
        switch (event->key()) {
        case Qt::Key_A:
            return run(m_new);
        case Qt::Key_E:
            return run(m_edit);
        case Qt::Key_S:
            return run(m_save);
        default:
            return false;
        }
    }
    if (modifiers != Qt::NoModifier)
        return false;
    switch (event->key()) {
    case Qt::Key_Escape:
        if (!run(m_cancel))
            run(m_exit);
        return true;
    case Qt::Key_Delete:
        return run(m_delete);
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (isInGrid(receiver))
            moveToNextColumn();
        else
            focusNextChild();
        return true;
    case Qt::Key_Down:
        // Going down from the last row adds one, as long as that row has been filled in.
        if (!m_editing || !isInGrid(receiver) || currentRow() != m_model->rowCount() - 1)
            return false;
        m_delegate->finishEditing();
        if (!m_model->isBlankNewRow(currentRow()))
            appendRow();
        return true;
    default:
        return false;
    }
}

bool CodeListWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        auto *widget = static_cast<QWidget *>(watched);
        if ((widget == this || isAncestorOf(widget)) &&
            previewKey(static_cast<QKeyEvent *>(event), watched))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}
