#include "output/StatisticsWindow.h"

#include "core/AppTitle.h"
#include "core/DataDm.h"
#include "core/RecordList.h"
#include "core/SqlListModel.h"
#include "designer/DesignReport.h"
#include "masterdata/Pickers.h"
#include "masterdata/TypePicker.h"
#include "report/PrintReport.h"
#include "spreadsheet/ExportGridToExcel.h"
#include "widgets/CodeCombo.h"
#include "widgets/CommandBar.h"
#include "widgets/DBGridEh.h"
#include "widgets/DateBox.h"
#include "widgets/FieldWithButton.h"
#include "widgets/GridLayout.h"
#include "widgets/PlaceForm.h"
#include "widgets/StatusPanels.h"

#include <QAction>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTableView>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kFormColumns = 3; // criteria side by side

} // namespace

StatisticsWindow::StatisticsWindow(const StatisticsDescription &description, QWidget *parent)
    : QDialog(parent), m_description(description)
{
    setObjectName(description.objectName);
    setWindowTitle(description.caption);
    setWindowFlags(Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint |
                   Qt::WindowCloseButtonHint);

    m_records = new RecordList(this);
    list()->setObjectName(QStringLiteral("QryTable"));
    // Count and sums of a long list arrive without holding up its first rows.
    list()->setCountInBackground(dmData->source());

    DBGridEh1 = new DBGridEh;
    DBGridEh1->setObjectName(QStringLiteral("DBGridEh1"));
    DBGridEh1->setColumns(description.columns);
    DBGridEh1->setList(m_records);
    DBGridEh1->setSortOnTitleClick(false);
    // The statistics lists' titles stand on their own colour.
    DBGridEh1->view()->horizontalHeader()->setStyleSheet(
        QStringLiteral("QHeaderView::section { background-color: #ffcd9b; padding: 2px;"
                       " border: none; border-right: 1px solid #c8a07a;"
                       " border-bottom: 1px solid #c8a07a; }"));
    addLayoutMenu(DBGridEh1, description.layoutKey);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 0);
    layout->setSpacing(2);
    layout->addWidget(createToolBar());
    layout->addWidget(createCriteriaForm());
    layout->addWidget(DBGridEh1, 1);
    layout->addWidget(createStatusPanels({150, 150, 100, 50}, true, &m_panels));

    connect(list(), &SqlListModel::aggregatesReady, this, &StatisticsWindow::showRecordCount);
    // The window sees every key first, so the moves work from any box.
    installEventFilter(this);
    for (QWidget *child : findChildren<QWidget *>())
        child->installEventFilter(this);
    resize(980, 620);
}

QWidget *StatisticsWindow::createToolBar()
{
    QToolBar *bar = createCommandBar({{"tbQuery", "查询", "edit-find"},
                                      {},
                                      {"tbFirst", "首项", "go-first"},
                                      {"tbPrior", "前项", "go-previous"},
                                      {"tbNext", "后项", "go-next"},
                                      {"tbLast", "末项", "go-last"},
                                      {},
                                      {"tbPrint", "打印", "document-print"},
                                      {"tbSet", "设置", "document-page-setup"},
                                      {"tbExpert", "导出", "document-export"},
                                      {},
                                      {"tbExit", "退出", "application-exit"}},
                                     this, &m_actions);
    // Exporting needs a list read first.
    action(QStringLiteral("tbExpert"))->setEnabled(false);
    connect(action(QStringLiteral("tbPrint")), &QAction::triggered, this, &StatisticsWindow::print);
    connect(action(QStringLiteral("tbSet")), &QAction::triggered, this, &StatisticsWindow::design);
    connect(action(QStringLiteral("tbQuery")), &QAction::triggered, this, &StatisticsWindow::query);
    connect(action(QStringLiteral("tbFirst")), &QAction::triggered, this, &StatisticsWindow::first);
    connect(action(QStringLiteral("tbPrior")), &QAction::triggered, this, &StatisticsWindow::prior);
    connect(action(QStringLiteral("tbNext")), &QAction::triggered, this, &StatisticsWindow::next);
    connect(action(QStringLiteral("tbLast")), &QAction::triggered, this, &StatisticsWindow::last);
    connect(action(QStringLiteral("tbExpert")), &QAction::triggered, this,
            [this] { ExportGridToExcel(DBGridEh1, m_description.exportTitle, true); });
    connect(action(QStringLiteral("tbExit")), &QAction::triggered, this, &QDialog::reject);
    return bar;
}

QWidget *StatisticsWindow::createCriteriaForm()
{
    auto *form = new QGroupBox(QStringLiteral("查询条件"));
    form->setObjectName(QStringLiteral("gbCriteria"));
    auto *grid = new QGridLayout(form);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(3);
    int cell = 0;
    const auto place = [&](const QString &label, QWidget *box) {
        const int row = cell / kFormColumns;
        const int column = (cell % kFormColumns) * 2;
        auto *caption = new QLabel(label);
        caption->setBuddy(box);
        grid->addWidget(caption, row, column, Qt::AlignRight);
        grid->addWidget(box, row, column + 1);
        grid->setColumnStretch(column + 1, 1);
        ++cell;
    };
    if (m_description.hasDateRange) {
        m_from = new DateBox;
        m_from->setObjectName(QStringLiteral("dtpFromDate"));
        m_to = new DateBox;
        m_to->setObjectName(QStringLiteral("dtpToDate"));
        place(QStringLiteral("起始日期："), m_from);
        place(QStringLiteral("截止日期："), m_to);
        ++cell; // the criteria start on a row of their own
    }
    for (const StatisticsCriterion &criterion : m_description.criteria)
        place(criterion.label, criterionBox(criterion));
    return form;
}

QWidget *StatisticsWindow::criterionBox(const StatisticsCriterion &criterion)
{
    using K = StatisticsCriterion::Kind;
    if (criterion.kind == K::CodeList) {
        auto *combo = new CodeCombo(criterion.codeKind);
        combo->setObjectName(criterion.objectName);
        combo->setEditable(true);
        combo->setCurrentIndex(-1);
        m_criteriaBoxes << combo;
        return combo;
    }
    auto *edit = new QLineEdit;
    edit->setObjectName(criterion.objectName);
    edit->setClearButtonEnabled(true);
    m_criteriaBoxes << edit;
    if (criterion.kind == K::Text)
        return edit;
    auto *button = new QToolButton;
    button->setText(QStringLiteral("…"));
    const struct
    {
        K kind;
        const char *name;
        const char *tip;
    } pickers[] = {{K::Type, "SpeedButton2", "选择类型"},
                   {K::Supplier, "SpeedButton1", "选择供应商"},
                   {K::Client, "SpeedButton3", "选择客户"}};
    for (const auto &p : pickers) {
        if (p.kind == criterion.kind) {
            button->setObjectName(QLatin1String(p.name));
            button->setToolTip(QString::fromUtf8(p.tip));
        }
    }
    const K kind = criterion.kind;
    connect(button, &QToolButton::clicked, this, [this, edit, kind] {
        if (kind == K::Type)
            edit->setText(PickType(this, m_description.typeTree, edit->text()));
        else if (kind == K::Supplier)
            edit->setText(PickSupplier(this, edit->text()));
        else
            edit->setText(PickClient(this, edit->text()));
        edit->setFocus();
    });
    return withButton(edit, button);
}

void StatisticsWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    if (m_from) {
        const QDate today = QDate::currentDate();
        m_from->setDate(QDate(today.year(), today.month(), 1));
        m_from->setChecked(true);
        m_to->setDate(today);
        m_to->setChecked(true);
    }
    m_panels[3]->setText(AppTitle::full() + QStringLiteral("  "));
    LoadGridLayout(DBGridEh1, m_description.layoutKey);
    if (!m_criteriaBoxes.isEmpty())
        m_criteriaBoxes.first()->setFocus();
}

StatisticsCriteria StatisticsWindow::criteria() const
{
    StatisticsCriteria c;
    if (m_from) {
        c.from = m_from->dateOr({});
        c.to = m_to->dateOr({});
    }
    for (QWidget *box : m_criteriaBoxes) {
        if (auto *edit = qobject_cast<QLineEdit *>(box))
            c.texts << edit->text();
        else
            c.texts << static_cast<QComboBox *>(box)->currentText();
    }
    return c;
}

bool StatisticsWindow::query()
{
    const SqlFilter filter = StatisticsQuery::filter(m_description, criteria(), dmData->dialect());
    // The new list comes in the window's own order.
    for (const GridColumn &column : DBGridEh1->columns())
        DBGridEh1->setMarker(column.field, DBGridEh::Marker::None);
    if (!list()->setQuery(dmData->database(), StatisticsQuery::select(m_description, filter),
                          filter.values(), m_description.orderBy)) {
        dmData->showFailure(kMsgOpenFailed, list()->lastError());
        return false;
    }
    action(QStringLiteral("tbExpert"))->setEnabled(true);
    enableMoves(true, true, true, true);
    showRecordCount();
    return true;
}

void StatisticsWindow::print()
{
    QHash<QString, QString> texts;
    if (m_description.hasDateRange)
        texts.insert(QStringLiteral("MemoDate"), StatisticsQuery::dateMemo(criteria()));
    PrintList(this, m_description.reportTemplate, *list(), m_description.caption, texts);
}

void StatisticsWindow::design()
{
    // No list need be read first: the designer is bound to the statement 查询 would read now.
    const SqlFilter filter = StatisticsQuery::filter(m_description, criteria(), dmData->dialect());
    const ListQuery query{StatisticsQuery::select(m_description, filter), filter.values(),
                          m_description.orderBy};
    DesignReport(this, ListJob(m_description.reportTemplate, query), m_description.caption,
                 FieldCaptions(DBGridEh1->columns()));
}

void StatisticsWindow::showRecordCount()
{
    if (list()->isCountKnown())
        m_panels[2]->setText(QStringLiteral("记录数/%1").arg(m_records->rowCount()));
}

void StatisticsWindow::enableMoves(bool first, bool prior, bool next, bool last)
{
    action(QStringLiteral("tbFirst"))->setEnabled(first);
    action(QStringLiteral("tbPrior"))->setEnabled(prior);
    action(QStringLiteral("tbNext"))->setEnabled(next);
    action(QStringLiteral("tbLast"))->setEnabled(last);
}

void StatisticsWindow::first()
{
    m_records->setCurrentRow(0);
    enableMoves(false, false, true, true);
}

void StatisticsWindow::prior()
{
    const int row = m_records->currentRow();
    if (row <= 0)
        enableMoves(false, false, true, true);
    else
        m_records->setCurrentRow(row - 1);
    action(QStringLiteral("tbNext"))->setEnabled(true);
    action(QStringLiteral("tbLast"))->setEnabled(true);
}

void StatisticsWindow::next()
{
    const int row = m_records->currentRow();
    if (row >= m_records->rowCount() - 1) {
        action(QStringLiteral("tbLast"))->setEnabled(false);
        action(QStringLiteral("tbNext"))->setEnabled(false);
    } else {
        m_records->setCurrentRow(row + 1);
    }
    action(QStringLiteral("tbFirst"))->setEnabled(true);
    action(QStringLiteral("tbPrior"))->setEnabled(true);
}

void StatisticsWindow::last()
{
    m_records->setCurrentRow(m_records->rowCount() - 1);
    enableMoves(true, true, false, false);
}

SqlListModel *StatisticsWindow::list() const
{
    return m_records->model();
}

QString StatisticsWindow::statusPanel(int panel) const
{
    return m_panels.at(panel)->text();
}

bool StatisticsWindow::runIfEnabled(const QString &actionName)
{
    QAction *a = action(actionName);
    if (a->isEnabled())
        a->trigger();
    return true;
}

void StatisticsWindow::nextGridColumn()
{
    QTableView *view = DBGridEh1->view();
    const QModelIndex current = view->currentIndex();
    const int columns = view->model()->columnCount();
    if (!current.isValid() || columns == 0)
        return;
    view->setCurrentIndex(current.siblingAtColumn((current.column() + 1) % columns));
}

bool StatisticsWindow::eventFilter(QObject *watched, QEvent *event)
{
    // A key travels from the focused box up to the window: act on it once, where it starts.
    if (event->type() != QEvent::KeyPress ||
        watched != (focusWidget() ? static_cast<QObject *>(focusWidget()) : this))
        return QDialog::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    if (key->key() == Qt::Key_Q && modifiers == Qt::ControlModifier)
        return runIfEnabled(QStringLiteral("tbQuery"));
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (enter && modifiers == Qt::NoModifier) {
        if (qobject_cast<QPlainTextEdit *>(watched) || qobject_cast<QTextEdit *>(watched))
            return false;
        if (watched == DBGridEh1->view())
            nextGridColumn();
        else
            focusNextChild();
        return true;
    }
    if (modifiers != Qt::NoModifier)
        return QDialog::eventFilter(watched, event);
    const struct
    {
        int key;
        const char *action;
    } moves[] = {{Qt::Key_Escape, "tbExit"},
                 {Qt::Key_PageUp, "tbPrior"},
                 {Qt::Key_PageDown, "tbNext"},
                 {Qt::Key_End, "tbLast"},
                 {Qt::Key_Home, "tbFirst"}};
    for (const auto &m : moves) {
        if (key->key() == m.key) {
            runIfEnabled(QLatin1String(m.action));
            // A text box goes on to handle the key as well; the grid's own moves would move
            // the record a second time.
            return key->key() == Qt::Key_Escape || watched == DBGridEh1->view();
        }
    }
    return QDialog::eventFilter(watched, event);
}

void ShowStatistics(QWidget *owner, const StatisticsDescription &description)
{
    StatisticsWindow window(description, owner);
    PlaceForm(&window, 0);
    window.exec();
}
