#include "output/StatisticsWindow.h"

#include "core/DataDm.h"
#include "core/RecordList.h"
#include "core/SqlListModel.h"
#include "designer/DesignReport.h"
#include "masterdata/Pickers.h"
#include "masterdata/RegisterDescription.h"
#include "masterdata/RegisterStore.h"
#include "masterdata/TreeCode.h"
#include "masterdata/TypePicker.h"
#include "report/PrintReport.h"
#include "spreadsheet/ExportGridToExcel.h"
#include "widgets/CodeCombo.h"
#include "widgets/DBGridEh.h"
#include "widgets/DateBox.h"
#include "widgets/FieldWithButton.h"
#include "widgets/PlaceForm.h"
#include "widgets/ViewBox.h"

#include <QAction>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kFormColumns = 3; // criteria side by side

ListFrame statisticsFrame(const StatisticsDescription &description)
{
    ListFrame frame;
    frame.objectName = description.objectName;
    frame.title = description.caption;
    frame.columns = description.columns;
    frame.layoutKey = description.layoutKey;
    frame.commands = {{"tbQuery", "查询", "edit-find"},
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
                      {"tbExit", "退出", "application-exit"}};
    frame.titleOnRight = true;
    return frame;
}

bool nameMatches(const QString &name, const QString &text, SqlFilter::Match match)
{
    return match == SqlFilter::Match::StartsWith ? name.startsWith(text, Qt::CaseInsensitive)
                                                 : name.contains(text, Qt::CaseInsensitive);
}

QString matchName(SqlFilter::Match match)
{
    return match == SqlFilter::Match::StartsWith ? QStringLiteral("startsWith")
                                                 : QStringLiteral("contains");
}

// The saved form of a typed criterion: a text, a type path, or a supplier's or client's name.
std::unique_ptr<Criterion> criterionOf(const StatisticsCriterion &criterion,
                                       const QString &typeTree, QLineEdit *edit)
{
    using K = StatisticsCriterion::Kind;
    const SqlFilter::Match match = criterion.match;
    switch (criterion.kind) {
    case K::Type:
        return std::make_unique<ChosenValueCriterion>(
            criterion.objectName, edit,
            [typeTree](const QString &text) {
                return treePathTaken(
                    typeTree, text.startsWith(u'\\') ? text : childPath(kRootLikeCode, text));
            },
            QStringLiteral("类型"));
    case K::Supplier:
    case K::Client: {
        const bool supplier = criterion.kind == K::Supplier;
        const RegisterDescription *entries = supplier ? &supplierRegister() : &clientRegister();
        return std::make_unique<ChosenValueCriterion>(
            criterion.objectName, edit,
            [entries, match](const QString &text) {
                return RegisterStore::hasNameLike(*dmData, *entries, text, match);
            },
            supplier ? QStringLiteral("供应商") : QStringLiteral("客户"));
    }
    default:
        return std::make_unique<TextMatchCriterion>(criterion.objectName, edit, nullptr,
                                                    [match] { return matchName(match); });
    }
}

} // namespace

StatisticsWindow::StatisticsWindow(const StatisticsDescription &description, QWidget *parent)
    : ListWindow(statisticsFrame(description), parent), m_description(description)
{
    setWindowFlags(Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint |
                   Qt::WindowCloseButtonHint);

    // Count and sums of a long list arrive without holding up its first rows.
    list()->setCountInBackground(dmData->source());

    DBGridEh1->setSortOnTitleClick(false);
    // The statistics lists' titles stand on their own colour.
    DBGridEh1->view()->horizontalHeader()->setStyleSheet(
        QStringLiteral("QHeaderView::section { background-color: #ffcd9b; padding: 2px;"
                       " border: none; border-right: 1px solid #c8a07a;"
                       " border-bottom: 1px solid #c8a07a; }"));

    connectCommands();
    QWidget *form = createCriteriaForm();
    m_views = new ViewBox(
        description.objectName, DBGridEh1,
        {[this] { return saveCriteria(); },
         [this](const QJsonObject &saved, QStringList *notes) { restoreCriteria(saved, notes); },
         [this] { query(); }});
    toolBar()->insertWidget(action(QStringLiteral("tbExit")), m_views);
    toolBar()->insertSeparator(action(QStringLiteral("tbExit")));
    layOut({{form, 0}, {DBGridEh1, 1}});
    setWindowKeys({{Qt::Key_Escape, "tbExit"},
                   {Qt::Key_PageUp, "tbPrior"},
                   {Qt::Key_PageDown, "tbNext"},
                   {Qt::Key_End, "tbLast"},
                   {Qt::Key_Home, "tbFirst"}});

    connect(list(), &SqlListModel::aggregatesReady, this, &StatisticsWindow::showRecordCount);
    // The window sees every key first, so the moves work from any box.
    installEventFilter(this);
    for (QWidget *child : findChildren<QWidget *>())
        child->installEventFilter(this);
    resize(980, 620);
}

void StatisticsWindow::connectCommands()
{
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
        m_criteria.add(std::make_unique<DateRangeCriterion>(QStringLiteral("dates"), m_from, m_to));
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
        const QString kind = criterion.codeKind;
        const SqlFilter::Match match = criterion.match;
        m_criteria.add(std::make_unique<ChosenValueCriterion>(
            criterion.objectName, combo,
            [kind, match](const QString &text) {
                const QStringList names = codeListValues(kind);
                return std::any_of(names.begin(), names.end(), [&](const QString &name) {
                    return nameMatches(name, text, match);
                });
            },
            QStringLiteral("代码")));
        return combo;
    }
    auto *edit = new QLineEdit;
    edit->setObjectName(criterion.objectName);
    edit->setClearButtonEnabled(true);
    m_criteriaBoxes << edit;
    m_criteria.add(criterionOf(criterion, m_description.typeTree, edit));
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

void StatisticsWindow::shownFirst()
{
    if (m_from) {
        const QDate today = QDate::currentDate();
        m_from->setDate(QDate(today.year(), today.month(), 1));
        m_from->setChecked(true);
        m_to->setDate(today);
        m_to->setChecked(true);
    }
    if (!m_criteriaBoxes.isEmpty())
        m_criteriaBoxes.first()->setFocus();
}

QJsonObject StatisticsWindow::saveCriteria() const
{
    return m_criteria.save();
}

void StatisticsWindow::restoreCriteria(const QJsonObject &saved, QStringList *notes)
{
    m_criteria.restore(saved, notes);
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
    printList(this, m_description.reportTemplate, *list(), m_description.caption, texts);
}

void StatisticsWindow::design()
{
    // No list need be read first: the designer is bound to the statement 查询 would read now.
    const SqlFilter filter = StatisticsQuery::filter(m_description, criteria(), dmData->dialect());
    const ListQuery query{StatisticsQuery::select(m_description, filter), filter.values(),
                          m_description.orderBy};
    DesignReport(this, ListJob(m_description.reportTemplate, query), m_description.caption,
                 fieldCaptions(DBGridEh1->columns()));
}

void StatisticsWindow::showRecordCount()
{
    if (list()->isCountKnown())
        setStatusPanel(2, QStringLiteral("记录数/%1").arg(m_records->rowCount()));
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
    if (const std::optional<bool> used = runWindowKey(watched, key))
        return *used;
    return QDialog::eventFilter(watched, event);
}

void showStatistics(QWidget *owner, const StatisticsDescription &description)
{
    StatisticsWindow window(description, owner);
    PlaceForm(&window, 0);
    window.exec();
}
