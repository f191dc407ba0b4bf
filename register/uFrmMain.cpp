#include "register/uFrmMain.h"

#include "core/AppTitle.h"
#include "core/DataDm.h"
#include "core/Prompt.h"
#include "core/uDlgConnectDb.h"
#include "operators/uFrmOperLogin.h"
#include "register/MainCommands.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
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

} // namespace

TFrmMain::TFrmMain(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("FrmMain"));
    setWindowTitle(mainCaption());
    resize(800, 568);
    if (QScreen *screen = QApplication::primaryScreen()) {
        QRect frame = rect();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }

    auto *splitter = new QSplitter(this);
    splitter->setObjectName(QStringLiteral("Splitter1"));
    m_navigator = new QWidget(splitter);
    m_navigator->setObjectName(QStringLiteral("pnlNavigator"));
    auto *content = new QWidget(splitter);
    content->setObjectName(QStringLiteral("pnlContent"));
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({200, 600});
    setCentralWidget(splitter);

    createCommands();
    createMenus();
    createToolBar();
    createStatusBar();

    m_clock = new QTimer(this);
    connect(m_clock, &QTimer::timeout, this, &TFrmMain::updateClock);
    m_clock->start(1000);
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
    for (const auto &[name, caption, icon] :
         {std::tuple{"actCalculator", "计算器", "accessories-calculator"},
          std::tuple{"actNotepad", "笔记本", "accessories-text-editor"}}) {
        QAction *a = addPlainAction(QLatin1String(name), QString::fromUtf8(caption), icon);
        a->setEnabled(false);
        tools->addAction(a);
    }

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
        QAction *a = addPlainAction(QLatin1String(h.name), QString::fromUtf8(h.caption));
        a->setEnabled(false);
        help->addAction(a);
    }
}

void TFrmMain::createToolBar()
{
    m_toolBar->setObjectName(QStringLiteral("ToolBar1"));
    m_toolBar->setIconSize(QSize(30, 30));
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_toolBar->setMovable(false);
    addToolBar(m_toolBar);

    QAction *relogin = findChild<QAction *>(QStringLiteral("actChangeOper"));
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
                                 AppTitle::full() + QStringLiteral("  样品管理，一目了然")};
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
    setWindowTitle(mainCaption());
    setStatusPanel(1, u' ' + dmData->CurOperName());
    updateClock();
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
