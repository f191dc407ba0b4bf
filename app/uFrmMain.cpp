#include "app/uFrmMain.h"

#include "app/MainCommands.h"
#include "core/AppTitle.h"
#include "core/DataDm.h"
#include "core/Prompt.h"
#include "core/SqlListModel.h"
#include "register/PicturePage.h"
#include "register/SampleDetailTabs.h"
#include "register/SampleList.h"
#include "register/SampleNavigator.h"
#include "register/SampleScanBox.h"
#include "register/SampleSearchBar.h"
#include "register/uDLGrevazezCX.h"
#include "widgets/CommandRegistry.h"
#include "widgets/DBGridEh.h"
#include "widgets/GridLayout.h"
#include "widgets/PlaceForm.h"
#include "widgets/ShortcutsFirst.h"
#include "widgets/ViewBox.h"

#include <QAction>
#include <QCloseEvent>
#include <QDateTime>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString kClockFormat = QStringLiteral("yyyy-MM-dd hh:mm:ss");

QString mainCaption()
{
    return AppTitle::product() + u' ';
}

} // namespace

TFrmMain::TFrmMain(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("FrmMain"));
    setWindowTitle(mainCaption());
    resize(800, 568);
    PlaceForm(this, 1);

    m_samples = new SampleList(*dmData, this);
    m_samples->model()->setObjectName(QStringLiteral("QryMain"));
    connect(m_samples->model(), &SqlListModel::aggregatesReady, this, &TFrmMain::showRecordCount);
    connect(m_samples->model(), &QAbstractItemModel::modelReset, this, &TFrmMain::showRecordCount);
    createCommands();

    auto *central = new QWidget(this);
    auto *centralLayout = new QVBoxLayout(central);
    centralLayout->setContentsMargins(2, 2, 2, 0);
    centralLayout->setSpacing(2);
    m_search = new SampleSearchBar;
    m_search->setPinyinOn(dmData->config().pinyinSearch());
    connect(m_search, &SampleSearchBar::pinyinToggled, this,
            [](bool on) { dmData->config().setPinyinSearch(on); });
    m_scan = new SampleScanBox(*m_samples);
    auto *searchRow = new QHBoxLayout;
    searchRow->setSpacing(0);
    searchRow->addWidget(m_search, 1);
    searchRow->addWidget(m_scan);
    centralLayout->addLayout(searchRow);

    auto *splitter = new QSplitter(central);
    splitter->setObjectName(QStringLiteral("Splitter1"));
    m_navigator = new SampleNavigator;
    m_navigator->setContextMenuPolicy(Qt::ActionsContextMenu);
    m_navigator->addActions({action(205), action(206)});
    splitter->addWidget(m_navigator);
    auto *right = new QSplitter(Qt::Vertical, splitter);
    right->setObjectName(QStringLiteral("Splitter2"));
    DBGridEh1 = new DBGridEh(right);
    DBGridEh1->setObjectName(QStringLiteral("DBGridEh1"));
    DBGridEh1->setColumns(sampleListColumns());
    DBGridEh1->setList(m_samples);
    m_details = new SampleDetailTabs(right);
    m_pictures = new PicturePage({action(901), action(902), action(903), action(904)}, DBGridEh1);
    auto *pictureLayout = new QVBoxLayout(m_details->picturePage());
    pictureLayout->setContentsMargins(0, 0, 0, 0);
    pictureLayout->addWidget(m_pictures);
    right->addWidget(DBGridEh1);
    right->addWidget(m_details);
    right->setStretchFactor(0, 1);
    right->setSizes({330, 150});
    splitter->addWidget(right);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({170, 630});
    centralLayout->addWidget(splitter, 1);
    setCentralWidget(central);

    // What is typed lists without holding up the next keystroke.
    connect(m_search, &SampleSearchBar::changed, this,
            [this] { runList(SqlListModel::FirstPage::InBackground); });
    connect(m_search, &SampleSearchBar::advancedToggled, this, &TFrmMain::toggleAdvancedSearch);
    connect(m_search, &SampleSearchBar::navigatorToggled, this,
            [this] { findChild<QAction *>(QStringLiteral("actViewNavigator"))->toggle(); });
    connect(m_navigator, &SampleNavigator::changed, this, &TFrmMain::RunListQuery);
    connect(m_search, &SampleSearchBar::codeEntered, m_scan, &SampleScanBox::scan);
    connect(m_scan, &SampleScanBox::told, this,
            [this](const QString &text) { statusBar()->showMessage(text, 15000); });
    connect(m_scan, &SampleScanBox::listReplaced, this,
            [this] { m_search->setAdvancedDown(true); });
    auto *scanKey = new QShortcut(QKeySequence(Qt::Key_F4), this);
    connect(scanKey, &QShortcut::activated, m_scan, &SampleScanBox::takeScan);
    connect(m_samples, &SampleList::currentRowChanged, this, &TFrmMain::showCurrentRecord);
    connect(DBGridEh1, &DBGridEh::rowDoubleClicked, this,
            [this] { m_commands->runIfVisible(202); });
    DBGridEh1->setSortOnTitleClick(true);

    createMenus();
    createToolBar();
    createStatusBar();

    DBGridEh1->view()->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto *separator = new QAction(this);
    separator->setSeparator(true);
    DBGridEh1->view()->addActions({action(201), action(207), action(202), action(203), separator,
                                   action(204), action(301), named("actPrintLabels"), action(205),
                                   action(206)});
    // Several samples can be selected for their labels; the current row stays one.
    DBGridEh1->view()->setSelectionMode(QAbstractItemView::ExtendedSelection);
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &TFrmMain::close);
    // Ctrl+A adds a record even while a text box has the focus.
    new ShortcutsFirst(this, {QKeySequence(QStringLiteral("Ctrl+A"))});

    connect(&dmData->session(), &Session::changed, this, &TFrmMain::applySession);

    m_clock = new QTimer(this);
    connect(m_clock, &QTimer::timeout, this, &TFrmMain::updateClock);
    m_clock->start(1000);
}

QAction *TFrmMain::action(int id) const
{
    return m_commands->action(id);
}

QAction *TFrmMain::named(const char *name) const
{
    return m_commands->action(QLatin1String(name));
}

SqlListModel *TFrmMain::listModel() const
{
    return m_samples->model();
}

QAction *TFrmMain::addPlainAction(const QString &name, const QString &caption, const char *icon)
{
    auto *a = new QAction(caption, this);
    a->setObjectName(name);
    if (*icon)
        a->setIcon(QIcon::fromTheme(QLatin1String(icon)));
    return a;
}

void TFrmMain::createCommands()
{
    m_commands = new CommandRegistry(this);
    action(201)->setShortcut(QKeySequence(QStringLiteral("Ctrl+A")));
    action(202)->setShortcut(QKeySequence(QStringLiteral("Ctrl+E")));
    action(203)->setShortcuts({QKeySequence(QStringLiteral("Ctrl+S")), QKeySequence::Delete});
    installMainCommands(*m_commands, *this);
}

void TFrmMain::createMenus()
{
    QMenuBar *bar = menuBar();
    auto addGroupMenu = [&](int group, const char *name, const QString &title) {
        QMenu *menu = bar->addMenu(title);
        menu->setObjectName(QLatin1String(name));
        m_groupMenus.insert(group, menu);
        return menu;
    };
    auto addCommands = [&](QMenu *menu, std::initializer_list<int> ids) {
        for (int id : ids)
            menu->addAction(action(id));
    };

    QMenu *file = addGroupMenu(1, "mnuFile", QStringLiteral("文件(&F)"));
    addCommands(file, {101, 102, 103});
    file->addSeparator();
    addCommands(file, {104, 105, 106, 107, 108});
    file->addSeparator();
    file->addAction(named("actChangeOper"));
    QAction *exit =
        addPlainAction(QStringLiteral("actExit"), QStringLiteral("退出系统"), "application-exit");
    connect(exit, &QAction::triggered, this, &TFrmMain::close);
    file->addAction(exit);

    QMenu *edit = addGroupMenu(2, "mnuEdit", QStringLiteral("编辑(&E)"));
    addCommands(edit, {201, 207, 202, 203});
    edit->addSeparator();
    addCommands(edit, {208, 209, 210});
    edit->addSeparator();
    addCommands(edit, {204, 205, 206});

    QMenu *output = addGroupMenu(3, "mnuOutput", QStringLiteral("输出(&O)"));
    addCommands(output, {301, 302});
    output->addSeparator();
    addCommands(output, {303, 304, 305, 306, 307});
    output->addSeparator();
    output->addAction(named("actPrintLabels"));

    QMenu *stat = addGroupMenu(4, "mnuStat", QStringLiteral("统计(&S)"));
    addCommands(stat, {401});
    stat->addSeparator();
    addCommands(stat, {402, 403, 404, 405});

    QMenu *data = addGroupMenu(5, "mnuData", QStringLiteral("数据(&D)"));
    const struct
    {
        int import;
        const char *cleanup;
    } imports[] = {
        {501, "actClearGoodsBlank"}, {502, "actClearClientBlank"}, {503, "actClearSupplerBlank"}};
    for (const auto &i : imports)
        data->addActions({action(i.import), named(i.cleanup)});
    data->addAction(named("actUndoImport"));
    data->addSeparator();
    addCommands(data, {504, 505, 506, 507});
    data->addAction(named("actUploadPictures"));

    QMenu *view = bar->addMenu(QStringLiteral("视图(&V)"));
    view->setObjectName(QStringLiteral("mnuView"));
    auto addToggle = [&](const char *name, const QString &caption) {
        QAction *a = addPlainAction(QLatin1String(name), caption);
        a->setCheckable(true);
        a->setChecked(true);
        view->addAction(a);
        return a;
    };
    m_toolBar = new QToolBar(QStringLiteral("工具栏"), this);
    connect(addToggle("actViewToolBar", QStringLiteral("工具栏")), &QAction::toggled, m_toolBar,
            &QWidget::setVisible);
    connect(addToggle("actViewNavigator", QStringLiteral("导航树")), &QAction::toggled, m_navigator,
            &QWidget::setVisible);
    connect(addToggle("actViewStatusBar", QStringLiteral("状态栏")), &QAction::toggled, statusBar(),
            &QWidget::setVisible);

    QMenu *tools = bar->addMenu(QStringLiteral("工具(&T)"));
    tools->setObjectName(QStringLiteral("mnuTools"));
    tools->addActions({named("actCalculator"), named("actNotepad")});

    QMenu *help = bar->addMenu(QStringLiteral("帮助(&H)"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    help->addActions({named("actHelpFile"), named("actFaq")});
    help->addSeparator();
    help->addActions({named("actReadme"), named("actWhatsNew")});
    help->addSeparator();
    help->addActions({named("actAbout"), named("actWebSite")});
}

void TFrmMain::createToolBar()
{
    m_toolBar->setObjectName(QStringLiteral("ToolBar1"));
    m_toolBar->setIconSize(QSize(30, 30));
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_toolBar->setMovable(false);
    addToolBar(m_toolBar);

    // The tool-bar button also lists again for the new operator; the menu item does not.
    QAction *relogin = addPlainAction(QStringLiteral("actChangeOperTool"),
                                      QStringLiteral("重新登录"), "system-switch-user");
    connect(relogin, &QAction::triggered, this, [this] {
        named("actChangeOper")->trigger();
        RunListQuery();
    });
    m_toolBar->addAction(relogin);
    m_toolBar->addSeparator();
    const auto shortCaption = [](QAction *a, const QString &text) {
        a->setIconText(text);
        return a;
    };
    m_toolBar->addAction(shortCaption(action(208), QStringLiteral("样品")));
    m_toolBar->addAction(shortCaption(action(209), QStringLiteral("客户")));
    m_toolBar->addAction(shortCaption(action(210), QStringLiteral("供应商")));
    m_toolBar->addSeparator();
    for (int id : {201, 207, 202, 203})
        m_toolBar->addAction(action(id));
    m_toolBar->addSeparator();
    m_toolBar->addAction(shortCaption(action(204), QStringLiteral("排序")));

    auto *printMenu = new QMenu(this);
    printMenu->setObjectName(QStringLiteral("PopupMenuPrint"));
    for (int id : {303, 304, 305, 306, 307})
        printMenu->addAction(action(id));
    auto *print = new QToolButton(m_toolBar);
    print->setObjectName(QStringLiteral("tbPrint"));
    action(303)->setIconText(QStringLiteral("打印"));
    print->setDefaultAction(action(303));
    print->setMenu(printMenu);
    print->setPopupMode(QToolButton::MenuButtonPopup);
    print->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_printButton = m_toolBar->addWidget(print);
    m_toolBar->addSeparator();
    QAction *close =
        addPlainAction(QStringLiteral("actClose"), QStringLiteral("关闭"), "window-close");
    connect(close, &QAction::triggered, this, &TFrmMain::close);
    m_toolBar->addAction(close);

    // The named views get a row of their own: the tool bar is full at the window's first width.
    addToolBarBreak();
    auto *viewBar = new QToolBar(QStringLiteral("视图"), this);
    viewBar->setObjectName(QStringLiteral("ToolBarView"));
    viewBar->setMovable(false);
    m_views = new ViewBox(
        objectName(), DBGridEh1,
        {[this] { return saveCriteria(); },
         [this](const QJsonObject &saved, QStringList *notes) { restoreCriteria(saved, notes); },
         [this] { RunListQuery(); }},
        viewBar);
    viewBar->addWidget(m_views);
    addToolBar(viewBar);
    connect(findChild<QAction *>(QStringLiteral("actViewToolBar")), &QAction::toggled, viewBar,
            &QWidget::setVisible);
}

void TFrmMain::createStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    const QStringList initial = {QStringLiteral(" 当前用户"), QString(),
                                 QStringLiteral(" 当前日期时间"), QString(),
                                 AppTitle::full() + QStringLiteral("  ") + AppTitle::contactLine()};
    for (int i = 0; i < initial.size(); ++i) {
        auto *panel = new QLabel(initial[i], bar);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panel->setFrameShape(QFrame::StyledPanel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setMinimumWidth(i == 1 ? 80 : 60);
        if (i == 4) {
            panel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            bar->addPermanentWidget(panel, 1);
        } else {
            bar->addWidget(panel);
        }
        m_panels << panel;
    }
    // Said before anyone tries to save: a read-only or damaged database.
    m_databaseState = new QLabel(bar);
    m_databaseState->setObjectName(QStringLiteral("lblDatabaseState"));
    m_databaseState->setStyleSheet(QStringLiteral("color: #b00000; font-weight: bold;"));
    bar->insertWidget(3, m_databaseState);
    connect(dmData, &TdmData::stateChanged, this, &TFrmMain::showDatabaseState);
    showDatabaseState();
}

void TFrmMain::showDatabaseState()
{
    const QString state = dmData->isDamaged() ? QStringLiteral(" 数据库已损坏，只能查看 ")
                          : dmData->isReadOnly() ? QStringLiteral(" 数据库只读 ")
                                                 : QString();
    m_databaseState->setText(state);
    m_databaseState->setVisible(!state.isEmpty());
}

void TFrmMain::setStatusPanel(int panel, const QString &text)
{
    m_panels.at(panel)->setText(text);
}

QString TFrmMain::statusPanel(int panel) const
{
    return m_panels.at(panel)->text();
}

void TFrmMain::updateClock()
{
    setStatusPanel(3, u' ' + QDateTime::currentDateTime().toString(kClockFormat));
}

void TFrmMain::SetLimits()
{
    m_commands->applyRights(dmData->session().rights());
    for (int group = 1; group <= 5; ++group)
        m_groupMenus.value(group)->menuAction()->setVisible(m_commands->anyVisibleIn(group));
    // The print button stands for the whole list of reports.
    bool anyReport = false;
    for (int id : {303, 304, 305, 306, 307})
        anyReport = anyReport || action(id)->isVisible();
    m_printButton->setVisible(anyReport);
}

void TFrmMain::applySession()
{
    SetLimits();
    setStatusPanel(1, dmData->session().typedName());
    setStatusPanel(3, QDateTime(QDate::currentDate(), QTime(0, 0)).toString(kClockFormat));
}

void TFrmMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    named("actAutoBackup")->trigger();
    dmData->checkInBackground();
    m_search->startWithThisMonth();
    setWindowTitle(mainCaption());
    setStatusPanel(1, u' ' + dmData->CurOperName());
    updateClock();
    m_navigator->loadTypeTree();
    LoadGridLayout(DBGridEh1, kSampleListLayoutKey);
    m_navigator->FillValueList(0);
}

void TFrmMain::closeEvent(QCloseEvent *event)
{
    const QString question =
        QStringLiteral("真的要退出“") + mainCaption() + QStringLiteral("”软件吗？");
    if (ShowPrompt(question, Prompt::Question) == Prompt::Yes)
        event->accept();
    else
        event->ignore();
}

void TFrmMain::RunListQuery()
{
    runList(SqlListModel::FirstPage::Here);
}

void TFrmMain::runList(SqlListModel::FirstPage firstPage)
{
    if (m_search->isAdvancedDown())
        m_search->setAdvancedDown(false);
    SampleListCriteria criteria;
    m_search->fillCriteria(&criteria);
    m_navigator->fillCriteria(&criteria);
    if (!m_samples->runCriteria(criteria, firstPage))
        dmData->showFailure(kMsgOpenFailed);
}

QJsonObject TFrmMain::saveCriteria() const
{
    QJsonObject saved = m_search->saveCriteria();
    const QJsonObject navigator = m_navigator->saveCriteria();
    for (auto it = navigator.begin(); it != navigator.end(); ++it)
        saved.insert(it.key(), it.value());
    return saved;
}

void TFrmMain::restoreCriteria(const QJsonObject &saved, QStringList *notes)
{
    m_search->restoreCriteria(saved, notes);
    m_navigator->restoreCriteria(saved, notes);
}

void TFrmMain::showRecordCount()
{
    const SqlListModel *model = m_samples->model();
    setStatusPanel(2, model->isRowCountKnown() || !model->isOpen()
                          ? QStringLiteral("样品总数：%1").arg(model->rowCount())
                          : QStringLiteral("样品总数：正在统计…"));
}

void TFrmMain::FillValueList(int listType)
{
    m_navigator->FillValueList(listType);
}

void TFrmMain::toggleAdvancedSearch(bool down)
{
    if (!down) {
        RunListQuery();
        return;
    }
    const std::optional<SqlFilter> filter = TDLGrevazezCX::ask(this);
    m_search->setAdvancedDown(filter.has_value());
    if (!filter)
        return;
    if (!m_samples->runAdvanced(*filter))
        dmData->showFailure(kMsgOpenFailed);
}

void TFrmMain::codeListsChanged()
{
    m_navigator->FillValueList(m_navigator->listType());
}

void TFrmMain::sampleTypesChanged()
{
    m_navigator->loadTypeTree();
    RunListQuery();
}

void TFrmMain::showCurrentRecord(int row)
{
    m_details->showRecord(m_samples->model(), row);
    m_pictures->showSample(row >= 0 ? m_samples->value(QStringLiteral("F_ID")).toLongLong() : 0);
}
