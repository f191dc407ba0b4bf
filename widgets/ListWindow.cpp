#include "widgets/ListWindow.h"

#include "core/AppTitle.h"
#include "core/RecordList.h"
#include "core/SqlListModel.h"
#include "widgets/DBGridEh.h"
#include "widgets/GridLayout.h"
#include "widgets/StatusPanels.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QShortcut>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>

ListWindow::ListWindow(const ListFrame &frame, QWidget *parent)
    : QDialog(parent), m_layoutKey(frame.layoutKey), m_titleOnRight(frame.titleOnRight)
{
    setObjectName(frame.objectName);
    setWindowTitle(frame.title);

    m_records = new RecordList(this);
    list()->setObjectName(QStringLiteral("QryTable"));

    DBGridEh1 = new DBGridEh;
    DBGridEh1->setObjectName(QStringLiteral("DBGridEh1"));
    DBGridEh1->setColumns(frame.columns);
    DBGridEh1->setList(m_records);
    addLayoutMenu(DBGridEh1, frame.layoutKey);

    m_toolBar = createCommandBar(frame.commands, this, &m_actions);
    if (QAction *exit = action(QStringLiteral("tbExit")))
        connect(exit, &QAction::triggered, this, &QDialog::reject);
}

SqlListModel *ListWindow::list() const
{
    return m_records->model();
}

void ListWindow::layOut(const QList<QPair<QWidget *, int>> &parts)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 0);
    layout->setSpacing(2);
    layout->addWidget(m_toolBar);
    for (const auto &[part, stretch] : parts)
        layout->addWidget(part, stretch);
    layout->addWidget(createStatusPanels({150, 150, 100, 50}, m_titleOnRight, &m_panels));
}

QString ListWindow::statusPanel(int panel) const
{
    return m_panels.at(panel)->text();
}

void ListWindow::setStatusPanel(int panel, const QString &text)
{
    m_panels.at(panel)->setText(text);
}

bool ListWindow::runIfEnabled(const QString &actionName)
{
    QAction *a = action(actionName);
    if (a->isEnabled())
        a->trigger();
    return true;
}

void ListWindow::addGridKeys(std::initializer_list<ListKey> keys)
{
    for (const ListKey &k : keys) {
        auto *shortcut = new QShortcut(QKeySequence(k.key), DBGridEh1->view(), nullptr, nullptr,
                                       Qt::WidgetShortcut);
        const QString name = QLatin1String(k.action);
        connect(shortcut, &QShortcut::activated, this, [this, name] { runIfEnabled(name); });
    }
}

void ListWindow::setWindowKeys(std::initializer_list<ListKey> keys)
{
    m_windowKeys = keys;
}

std::optional<bool> ListWindow::runWindowKey(QObject *watched, const QKeyEvent *key)
{
    if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return std::nullopt;
    for (const ListKey &k : m_windowKeys) {
        if (key->key() == k.key) {
            runIfEnabled(QLatin1String(k.action));
            // The grid's own moves would move the record a second time.
            return key->key() == Qt::Key_Escape || watched == DBGridEh1->view();
        }
    }
    return std::nullopt;
}

void ListWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    LoadGridLayout(DBGridEh1, m_layoutKey);
    setStatusPanel(3, AppTitle::full() + QStringLiteral("  "));
    shownFirst();
}
