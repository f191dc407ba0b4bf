#include "register/uFrmMain.h"

#include "core/AppHome.h"
#include "core/AppTitle.h"
#include "widgets/PlaceForm.h"
#include "widgets/CodeCombo.h"
#include "widgets/DBGridEh.h"
#include "widgets/DateBox.h"
#include "widgets/GridLayout.h"
#include "core/Shell.h"
#include "core/SqlListModel.h"
#include "core/DataDm.h"
#include "core/Prompt.h"
#include "widgets/uDlgConnectDb.h"
#include "operators/uFrmOperLogin.h"
#include "register/MainCommands.h"
#include "register/PicturePage.h"
#include "core/SortText.h"
#include "masterdata/Registers.h"
#include "masterdata/uFrmCodeMan.h"
#include "masterdata/uFrmRateCodeGL.h"
#include "masterdata/TreeCodeView.h"
#include "masterdata/uFrmTreeCodeMan.h"
#include "register/SampleCommands.h"
#include "register/SampleDetailTabs.h"
#include "register/uDLGrevazezCX.h"
#include "register/ufrmRowArrangeGl.h"
#include "register/uFrmAbout.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QDateTime>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace {

const QString kClockFormat = QStringLiteral("yyyy-MM-dd hh:mm:ss");

QString mainCaption()
{
    return AppTitle::product() + u' ';
}

QList<GridColumn> builtInColumns()
{
    const struct
    {
        const char *field;
        const char *caption;
    } columns[] = {{"F_goodcode", "样品编号"},  {"F_goodname", "样品名称"}, {"F_spec", "规格型号"},
                   {"F_type", "样品类型"},      {"F_PinPai", "品牌"},       {"F_yanSE", "颜色"},
                   {"F_cailiao", "材料"},       {"F_tiji", "体积"},         {"F_baozhuang", "包装"},
                   {"F_cgDate", "采购日期"},    {"F_cgSuppler", "供应商"},  {"F_cgUnit", "计价单位"},
                   {"F_cgPrice", "采购单价"},   {"F_cgType", "币种"},       {"F_xsDate", "销售日期"},
                   {"F_xsClient", "客户"},      {"F_xsUnit1", "计价单位"},  {"F_xsPrice1", "销售单价"},
                   {"F_xsType1", "币种"},       {"F_xsUnit2", "计价单位"},  {"F_xsPrice2", "销售单价"},
                   {"F_xsType2", "币种"},       {"F_memo1", "备注"}};
    QList<GridColumn> list;
    for (const auto &c : columns) {
        GridColumn column;
        column.field = QString::fromLatin1(c.field);
        column.caption = QString::fromUtf8(c.caption);
        const QString lower = column.field.toLower();
        if (lower.endsWith(u"date")) {
            column.alignment = GridColumn::Centre;
            column.displayFormat = QStringLiteral("yyyy-MM-dd");
        } else if (lower.contains(u"price")) {
            column.alignment = GridColumn::Right;
            column.displayFormat = QStringLiteral("0.00");
        }
        list << column;
    }
    return list;
}

} // namespace

TFrmMain::TFrmMain(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("FrmMain"));
    setWindowTitle(mainCaption());
    resize(800, 568);
    PlaceForm(this, 1);

    QryMain = new SqlListModel(this);
    QryMain->setObjectName(QStringLiteral("QryMain"));
    // Typing never waits for a count over the whole register.
    QryMain->setCountInBackground(dmData->source());
    if (dmData->dialect().engine() == Engine::SQLite)
        QryMain->setKeyColumn(QString());
    connect(QryMain, &SqlListModel::aggregatesReady, this, &TFrmMain::showRecordCount);
    createCommands();

    auto *central = new QWidget(this);
    auto *centralLayout = new QVBoxLayout(central);
    centralLayout->setContentsMargins(2, 2, 2, 0);
    centralLayout->setSpacing(2);
    centralLayout->addWidget(createSearchBar());

    auto *splitter = new QSplitter(central);
    splitter->setObjectName(QStringLiteral("Splitter1"));
    m_navigator = createNavigator();
    splitter->addWidget(m_navigator);
    auto *right = new QSplitter(Qt::Vertical, splitter);
    right->setObjectName(QStringLiteral("Splitter2"));
    DBGridEh1 = new DBGridEh(right);
    DBGridEh1->setObjectName(QStringLiteral("DBGridEh1"));
    DBGridEh1->setColumns(builtInColumns());
    DBGridEh1->setSource(QryMain);
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

    connect(DBGridEh1, &DBGridEh::currentRowChanged, this, &TFrmMain::showCurrentRecord);
    connect(DBGridEh1, &DBGridEh::rowDoubleClicked, this, [this] { runIfVisible(202); });
    DBGridEh1->setSortOnTitleClick(true);

    createMenus();
    createToolBar();
    createStatusBar();

    DBGridEh1->view()->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto *separator = new QAction(this);
    separator->setSeparator(true);
    DBGridEh1->view()->addActions({action(201), action(207), action(202), action(203), separator,
                                   action(204), action(301), action(205), action(206)});
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &TFrmMain::close);

    m_clock = new QTimer(this);
    connect(m_clock, &QTimer::timeout, this, &TFrmMain::updateClock);
    m_clock->start(1000);
}

QWidget *TFrmMain::createSearchBar()
{
    auto *bar = new QWidget;
    bar->setObjectName(QStringLiteral("pnlSearch"));
    auto *layout = new QHBoxLayout(bar);
    layout->setContentsMargins(2, 2, 2, 2);

    ComboBox1 = new QComboBox;
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->addItems(SampleListQuery::searchFieldCaptions());
    ComboBox1->setCurrentIndex(-1);
    ComboBox1->setMinimumContentsLength(6);
    auto *searchLabel = new QLabel(QStringLiteral("搜索(&V)"));
    searchLabel->setBuddy(ComboBox1);
    layout->addWidget(searchLabel);
    layout->addWidget(ComboBox1);

    Edit1 = new QLineEdit;
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setClearButtonEnabled(true);
    auto *valueLabel = new QLabel(QStringLiteral("值(&V)"));
    valueLabel->setBuddy(Edit1);
    layout->addWidget(valueLabel);
    layout->addWidget(Edit1, 1);
    m_btnPick = new QToolButton;
    m_btnPick->setObjectName(QStringLiteral("btnPick"));
    m_btnPick->setText(QStringLiteral("..."));
    m_btnPick->setVisible(false);
    connect(m_btnPick, &QToolButton::clicked, this, [this] {
        const bool supplier = ComboBox1->currentIndex() == 7;
        Edit1->setText(supplier ? PickSupplier(this, Edit1->text()) : PickClient(this, Edit1->text()));
    });
    layout->addWidget(m_btnPick);

    auto *find = new QPushButton(QStringLiteral("查找(F3)"));
    find->setObjectName(QStringLiteral("btnFind"));
    find->setShortcut(QKeySequence(Qt::Key_F3));
    layout->addWidget(find);

    dtpFromDate = new DateBox;
    dtpFromDate->setObjectName(QStringLiteral("dtpFromDate"));
    dtpToDate = new DateBox;
    dtpToDate->setObjectName(QStringLiteral("dtpToDate"));
    layout->addWidget(new QLabel(QStringLiteral("日期：自")));
    layout->addWidget(dtpFromDate);
    layout->addWidget(new QLabel(QStringLiteral("至")));
    layout->addWidget(dtpToDate);

    auto *navigator = new QToolButton;
    navigator->setObjectName(QStringLiteral("btnNavigator"));
    navigator->setIcon(QIcon::fromTheme(QStringLiteral("view-split-left-right")));
    navigator->setToolTip(QStringLiteral("显示或隐藏导航树"));
    layout->addWidget(navigator);
    connect(navigator, &QToolButton::clicked, this, [this] {
        findChild<QAction *>(QStringLiteral("actViewNavigator"))->toggle();
    });

    m_btnAdvanced = new QPushButton(QStringLiteral("高级查找..."));
    m_btnAdvanced->setObjectName(QStringLiteral("btnAdvanced"));
    m_btnAdvanced->setCheckable(true);
    layout->addWidget(m_btnAdvanced);
    connect(m_btnAdvanced, &QPushButton::clicked, this, &TFrmMain::toggleAdvancedSearch);

    connect(ComboBox1, &QComboBox::activated, this, &TFrmMain::chooseSearchField);
    connect(Edit1, &QLineEdit::textChanged, this, &TFrmMain::RunListQuery);
    connect(find, &QPushButton::clicked, this, &TFrmMain::RunListQuery);
    connect(dtpFromDate, &DateBox::changed, this, &TFrmMain::RunListQuery);
    connect(dtpToDate, &DateBox::changed, this, &TFrmMain::RunListQuery);
    return bar;
}

QWidget *TFrmMain::createNavigator()
{
    auto *tabs = new QTabWidget;
    tabs->setObjectName(QStringLiteral("pcNavigator"));
    tabs->setTabPosition(QTabWidget::South);

    auto *items = new QWidget;
    auto *itemsLayout = new QVBoxLayout(items);
    itemsLayout->setContentsMargins(0, 0, 0, 0);
    vleList = new QTableWidget(0, 2);
    vleList->setObjectName(QStringLiteral("vleList"));
    vleList->setSelectionBehavior(QAbstractItemView::SelectRows);
    vleList->setSelectionMode(QAbstractItemView::SingleSelection);
    vleList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    vleList->verticalHeader()->hide();
    vleList->horizontalHeader()->setStretchLastSection(true);
    vleList->setColumnWidth(0, 36);
    vleList->verticalHeader()->setDefaultSectionSize(vleList->fontMetrics().height() + 6);
    cbbListType = new QComboBox;
    cbbListType->setObjectName(QStringLiteral("cbbListType"));
    cbbListType->addItems(SampleListQuery::listTypeCaptions());
    itemsLayout->addWidget(vleList, 1);
    itemsLayout->addWidget(cbbListType);
    tabs->addTab(items, QStringLiteral(" 样品项目 "));

    tvTree = new QTreeWidget;
    tvTree->setObjectName(QStringLiteral("tvTree"));
    tvTree->setHeaderHidden(true);
    tvTree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tabs->addTab(tvTree, QStringLiteral(" 样品类型 "));

    connect(cbbListType, &QComboBox::currentIndexChanged, this, &TFrmMain::FillValueList);
    connect(vleList, &QTableWidget::currentCellChanged, this, [this] {
        if (!m_fillingValueList)
            RunListQuery();
    });
    connect(tvTree, &QTreeWidget::itemDoubleClicked, this, &TFrmMain::RunListQuery);

    tabs->setContextMenuPolicy(Qt::ActionsContextMenu);
    tabs->addActions({action(205), action(206)});
    return tabs;
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
    for (const MainCommand &c : mainCommands()) {
        QAction *a = addPlainAction(QStringLiteral("Action%1").arg(c.id),
                                    QString::fromUtf8(c.caption), c.icon);
        // Each command is enabled by the issue that builds its window.
        a->setEnabled(false);
        m_commands.insert(c.id, a);
    }
    action(201)->setShortcut(QKeySequence(QStringLiteral("Ctrl+A")));
    action(202)->setShortcut(QKeySequence(QStringLiteral("Ctrl+E")));
    action(203)->setShortcuts({QKeySequence(QStringLiteral("Ctrl+S")), QKeySequence::Delete});

    for (int mode : {1, 3, 5}) {
        QAction *tree = action(105 + (mode + 1) / 2);
        tree->setEnabled(true);
        connect(tree, &QAction::triggered, this, [this, mode] { openTypeTree(mode); });
    }
    const struct
    {
        int id;
        void (*run)(TFrmMain *);
    } records[] = {{201, NewSampleCommand},
                   {202, EditSampleCommand},
                   {207, CopySampleCommand},
                   {203, DeleteSampleCommand}};
    for (const auto &r : records) {
        action(r.id)->setEnabled(true);
        connect(action(r.id), &QAction::triggered, this, [this, run = r.run] { run(this); });
    }
    const struct
    {
        int id;
        const RegisterDescription &(*description)();
    } registers[] = {{208, catalogueRegister}, {209, clientRegister}, {210, supplierRegister}};
    for (const auto &r : registers) {
        action(r.id)->setEnabled(true);
        connect(action(r.id), &QAction::triggered, this,
                [this, d = r.description] { ShowRegister(this, d()); });
    }
    action(104)->setEnabled(true);
    connect(action(104), &QAction::triggered, this, [this] {
        TFrmCodeMan(this).exec();
        // Names added meanwhile belong in the value list.
        FillValueList(cbbListType->currentIndex());
    });
    action(105)->setEnabled(true);
    connect(action(105), &QAction::triggered, this, [this] { TfrmRateCodeGL(this).exec(); });
    action(204)->setEnabled(true);
    connect(action(204), &QAction::triggered, this, &TFrmMain::sortByDialog);
    action(205)->setEnabled(true);
    connect(action(205), &QAction::triggered, this, [this] { ChooseColumns(DBGridEh1); });
    action(206)->setEnabled(true);
    connect(action(206), &QAction::triggered, this, &TFrmMain::saveGridLayout);

    QAction *compact = action(506);
    compact->setEnabled(true);
    connect(compact, &QAction::triggered, this, &TFrmMain::compactDatabase);

    QAction *connectDb = action(507);
    connectDb->setEnabled(true);
    connect(connectDb, &QAction::triggered, this, &TFrmMain::connectNetworkDatabase);
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
    QAction *relogin = addPlainAction(QStringLiteral("actChangeOper"), QStringLiteral("重新登录"),
                                      "system-switch-user");
    connect(relogin, &QAction::triggered, this, &TFrmMain::changeOperator);
    file->addAction(relogin);
    QAction *exit = addPlainAction(QStringLiteral("actExit"), QStringLiteral("退出系统"),
                                   "application-exit");
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

    QMenu *stat = addGroupMenu(4, "mnuStat", QStringLiteral("统计(&S)"));
    addCommands(stat, {401});
    stat->addSeparator();
    addCommands(stat, {402, 403, 404, 405});

    QMenu *data = addGroupMenu(5, "mnuData", QStringLiteral("数据(&D)"));
    const struct
    {
        int import;
        const char *name;
        const char *caption;
    } imports[] = {{501, "actClearGoodsBlank", "清除样品空行"},
                   {502, "actClearClientBlank", "清除客户空行"},
                   {503, "actClearSupplerBlank", "清除供应商空行"}};
    for (const auto &i : imports) {
        data->addAction(action(i.import));
        QAction *clear = addPlainAction(QLatin1String(i.name), QString::fromUtf8(i.caption));
        clear->setEnabled(false);
        data->addAction(clear);
    }
    data->addSeparator();
    addCommands(data, {504, 505, 506, 507});

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
    connect(addToggle("actViewNavigator", QStringLiteral("导航树")), &QAction::toggled,
            m_navigator, &QWidget::setVisible);
    connect(addToggle("actViewStatusBar", QStringLiteral("状态栏")), &QAction::toggled,
            statusBar(), &QWidget::setVisible);

    QMenu *tools = bar->addMenu(QStringLiteral("工具(&T)"));
    tools->setObjectName(QStringLiteral("mnuTools"));
    QAction *calculator = addPlainAction(QStringLiteral("actCalculator"),
                                         QStringLiteral("计算器"), "accessories-calculator");
    connect(calculator, &QAction::triggered, this, [this] {
        startTool({QStringLiteral("gnome-calculator"), QStringLiteral("kcalc"),
                   QStringLiteral("galculator"), QStringLiteral("qalculate-gtk"),
                   QStringLiteral("mate-calc"), QStringLiteral("xcalc")},
                  QStringLiteral("计算器"));
    });
    QAction *notepad = addPlainAction(QStringLiteral("actNotepad"), QStringLiteral("笔记本"),
                                      "accessories-text-editor");
    connect(notepad, &QAction::triggered, this, [this] {
        startTool({QStringLiteral("gnome-text-editor"), QStringLiteral("gedit"),
                   QStringLiteral("kwrite"), QStringLiteral("kate"), QStringLiteral("mousepad"),
                   QStringLiteral("pluma"), QStringLiteral("xed"), QStringLiteral("featherpad")},
                  QStringLiteral("文本编辑器"));
    });
    tools->addActions({calculator, notepad});

    QMenu *help = bar->addMenu(QStringLiteral("帮助(&H)"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    const struct
    {
        const char *name;
        const char *caption;
        bool separatorBefore;
    } helpItems[] = {{"actHelpFile", "帮助文件", false}, {"actFaq", "常见问题", false},
                     {"actReadme", "自述文件", true},    {"actWhatsNew", "最新功能", false},
                     {"actAbout", "关于我们", true},     {"actWebSite", "浏览作者的网站", false}};
    for (const auto &h : helpItems) {
        if (h.separatorBefore)
            help->addSeparator();
        help->addAction(addPlainAction(QLatin1String(h.name), QString::fromUtf8(h.caption)));
    }
    const auto helpAction = [this](const char *name) {
        return findChild<QAction *>(QLatin1String(name));
    };
    connect(helpAction("actHelpFile"), &QAction::triggered, this,
            [this] { openHomeFile(QStringLiteral("help.html")); });
    connect(helpAction("actReadme"), &QAction::triggered, this,
            [this] { openHomeFile(QStringLiteral("readme.txt")); });
    connect(helpAction("actWhatsNew"), &QAction::triggered, this,
            [this] { openHomeFile(QStringLiteral("whatisnew.txt")); });
    // Frequently asked questions has no action of its own.
    helpAction("actFaq")->setEnabled(false);
    connect(helpAction("actAbout"), &QAction::triggered, this, &TFrmMain::showAbout);
    connect(helpAction("actWebSite"), &QAction::triggered, this,
            [] { Shell::openUrl(QUrl(AppTitle::webSite())); });
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
        changeOperator();
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
    QAction *close = addPlainAction(QStringLiteral("actClose"), QStringLiteral("关闭"),
                                    "window-close");
    connect(close, &QAction::triggered, this, &TFrmMain::close);
    m_toolBar->addAction(close);
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
    const QSet<QString> held = dmData->HeldRights();
    for (const MainCommand &c : mainCommands()) {
        if (isRightControlled(c.id))
            action(c.id)->setVisible(held.contains(QString::number(c.id)));
    }
    for (int group = 1; group <= 5; ++group) {
        bool anyVisible = false;
        for (const MainCommand &c : mainCommands()) {
            if (menuGroupOf(c.id) == group && isRightControlled(c.id) && action(c.id)->isVisible())
                anyVisible = true;
        }
        m_groupMenus.value(group)->menuAction()->setVisible(anyVisible);
    }
    // The print button stands for the whole list of reports.
    bool anyReport = false;
    for (int id : {303, 304, 305, 306, 307})
        anyReport = anyReport || action(id)->isVisible();
    m_printButton->setVisible(anyReport);
}

void TFrmMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    const QDate today = QDate::currentDate();
    const QSignalBlocker fromBlocker(dtpFromDate);
    const QSignalBlocker toBlocker(dtpToDate);
    dtpFromDate->setDate(QDate(today.year(), today.month(), 1));
    dtpToDate->setDate(today);
    setWindowTitle(mainCaption());
    setStatusPanel(1, u' ' + dmData->CurOperName());
    updateClock();
    loadTypeTree();
    LoadGridLayout(DBGridEh1, QStringLiteral("revazezmain"));
    FillValueList(0);
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

void TFrmMain::changeOperator()
{
    ShowLogin(LoginMode::ChangeOperator, this);
}

void TFrmMain::RunListQuery()
{
    if (m_btnAdvanced->isChecked()) {
        m_btnAdvanced->setChecked(false);
        m_btnAdvanced->setStyleSheet(QString());
    }
    SampleListCriteria criteria;
    if (dtpFromDate->isChecked())
        criteria.from = dtpFromDate->date();
    if (dtpToDate->isChecked())
        criteria.to = dtpToDate->date();
    criteria.searchField = ComboBox1->currentIndex();
    criteria.value = Edit1->text();
    criteria.typeLikeCode = nodeLikeCode(tvTree->currentItem());
    criteria.listType = cbbListType->currentIndex();
    const int row = vleList->currentRow();
    if (row > 0 && vleList->item(row, 1))
        criteria.listValue = vleList->item(row, 1)->text();

    m_statements = SampleListQuery::build(criteria, dmData->dialect());
    if (!QryMain->setQuery(dmData->database(), m_statements.listSql, m_statements.values))
        ShowPrompt(kMsgOpenFailed, Prompt::Error);
    showRecordCount();
}

void TFrmMain::ReloadList()
{
    if (QryMain->statement().isEmpty()) {
        RunListQuery();
        return;
    }
    if (!QryMain->reload())
        ShowPrompt(kMsgOpenFailed, Prompt::Error);
    showRecordCount();
}

void TFrmMain::ShowSavedRecord(qint64 id)
{
    ReloadList();
    QryMain->locate(QStringLiteral("F_ID"), id);
}

void TFrmMain::showRecordCount()
{
    setStatusPanel(2, QryMain->isCountKnown() || !QryMain->isOpen()
                          ? QStringLiteral("样品总数：%1").arg(QryMain->rowCount())
                          : QStringLiteral("样品总数：正在统计…"));
}

void TFrmMain::FillValueList(int listType)
{
    m_fillingValueList = true;
    vleList->clearContents();
    vleList->setHorizontalHeaderLabels({QString(), SampleListQuery::listTypeTitle(listType)});
    QStringList values;
    const QString kind = SampleListQuery::listTypeKind(listType);
    if (kind.isEmpty())
        values = SampleListQuery::secrecyLevels();
    else
        values = CodeListValues(kind);
    vleList->setRowCount(int(values.size()) + 1);
    vleList->setItem(0, 0, new QTableWidgetItem(QStringLiteral("0")));
    vleList->setItem(0, 1, new QTableWidgetItem(QStringLiteral("全部")));
    for (int i = 0; i < values.size(); ++i) {
        vleList->setItem(i + 1, 0, new QTableWidgetItem(QString::number(i + 1)));
        vleList->setItem(i + 1, 1, new QTableWidgetItem(values[i]));
    }
    vleList->setCurrentCell(0, 1);
    m_fillingValueList = false;
    RunListQuery();
}

void TFrmMain::chooseSearchField(int index)
{
    m_btnPick->setVisible(index == 7 || index == 8);
    if (Edit1->text().isEmpty())
        RunListQuery();
    else
        Edit1->clear();
}

void TFrmMain::sortByDialog()
{
    QList<QPair<QString, QString>> columns;
    for (const GridColumn &c : DBGridEh1->columns())
        columns << qMakePair(c.field, c.caption);
    const QString text = TfrmRowArrangeGl::ask(this, columns);
    // An empty answer returns the list to the order of its query.
    QryMain->setOrderBy(SortText::orderBy(text, QryMain->fieldNames()));
}

void TFrmMain::toggleAdvancedSearch(bool down)
{
    if (!down) {
        RunListQuery();
        return;
    }
    const std::optional<SqlFilter> filter = TDLGrevazezCX::ask(this);
    if (!filter) {
        m_btnAdvanced->setChecked(false);
        m_btnAdvanced->setStyleSheet(QString());
        return;
    }
    m_btnAdvanced->setStyleSheet(QStringLiteral("color: red;"));
    if (!QryMain->setQuery(dmData->database(),
                           QStringLiteral("select * from GoodMain ") + filter->where(),
                           filter->values()))
        ShowPrompt(kMsgOpenFailed, Prompt::Error);
    showRecordCount();
}

void TFrmMain::openTypeTree(int mode)
{
    ShowTreeCodeMan(this, mode);
    if (mode != 1)
        return;
    loadTypeTree();
    RunListQuery();
}

void TFrmMain::loadTypeTree()
{
    LoadTreeCode(tvTree, QStringLiteral("样品类型"), QStringLiteral("type"))->setExpanded(true);
}

void TFrmMain::showCurrentRecord(int row)
{
    m_details->showRecord(QryMain, row);
    m_pictures->showSample(row >= 0 ? QryMain->value(row, QStringLiteral("F_ID")).toLongLong()
                                    : 0);
}

void TFrmMain::runIfVisible(int id)
{
    QAction *a = action(id);
    if (a->isVisible() && a->isEnabled())
        a->trigger();
}

void TFrmMain::saveGridLayout()
{
    if (ShowPrompt(QStringLiteral("真的要保存当前网格设置吗？"), Prompt::Question) == Prompt::Yes)
        SaveGridLayout(DBGridEh1, QStringLiteral("revazezmain"));
}

void TFrmMain::openHomeFile(const QString &name)
{
    const QString path = AppHome::path(name);
    if (!QFileInfo::exists(path)) {
        ShowPrompt(QStringLiteral("找不到文件“%1”。").arg(QDir::toNativeSeparators(path)),
                   Prompt::Warning);
        return;
    }
    if (!Shell::openUrl(QUrl::fromLocalFile(path)))
        ShowPrompt(QStringLiteral("没有能打开“%1”的程序，文件在：%2")
                       .arg(name, QDir::toNativeSeparators(path)),
                   Prompt::Information);
}

void TFrmMain::startTool(const QStringList &programs, const QString &what)
{
    if (!Shell::startProgram(programs))
        ShowPrompt(QStringLiteral("本机没有安装%1程序（例如 %2）。").arg(what, programs.first()),
                   Prompt::Information);
}

void TFrmMain::showAbout()
{
    TFrmAbout about(this);
    about.exec();
}

void TFrmMain::compactDatabase()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ok = dmData->CompactDataFile();
    QApplication::restoreOverrideCursor();
    if (ok)
        ShowPrompt(QStringLiteral("压缩数据库成功！"), Prompt::Information);
    else
        ShowPrompt(QStringLiteral("压缩数据库失败！"), Prompt::Error);
}

void TFrmMain::connectNetworkDatabase()
{
    TDlgConnectDb dialog(dmData->config().ds(), QString(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    dmData->config().setDs(dialog.ds());
    ShowPrompt(QStringLiteral("新的数据库连接已保存，下次启动程序时生效。"), Prompt::Information);
}
