#include "masterdata/uFrmTreeCodeMan.h"

#include "core/Pinyin.h"
#include "core/Prompt.h"
#include "masterdata/TreeCodeView.h"
#include "masterdata/uDLGenterCaption.h"
#include "widgets/PlaceForm.h"

#include <QAction>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

namespace {

QPushButton *commandButton(const QString &name, const QString &caption)
{
    auto *button = new QPushButton(caption);
    button->setObjectName(name);
    // Enter belongs to the tree: it must never press a default button.
    button->setAutoDefault(false);
    return button;
}

// Keeps the node data of a renamed node's subtree in step with the stored paths.
void movePaths(QTreeWidgetItem *node, const QString &oldPath, const QString &newPath)
{
    const QString below = oldPath + u'\\';
    for (int i = 0; i < node->childCount(); ++i) {
        QTreeWidgetItem *child = node->child(i);
        tNodeData data = nodeData(child);
        if (data.LikeCode.startsWith(below))
            data.LikeCode = newPath + data.LikeCode.mid(oldPath.size());
        setNodeData(child, data);
        movePaths(child, oldPath, newPath);
    }
}

} // namespace

TFrmTreeCodeMan::TFrmTreeCodeMan(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("FrmTreeCodeMan"));

    auto *top = new QFrame;
    top->setObjectName(QStringLiteral("Panel1"));
    top->setFrameShape(QFrame::StyledPanel);
    auto *topLayout = new QHBoxLayout(top);
    auto *icon = new QLabel;
    icon->setObjectName(QStringLiteral("Image1"));
    icon->setPixmap(QIcon::fromTheme(QStringLiteral("dialog-information"),
                                     style()->standardIcon(QStyle::SP_MessageBoxInformation))
                        .pixmap(32, 32));
    auto *hint = new QLabel(QStringLiteral("    增加节点，需先选中左边框里的节点成灰色，"
                                           "然后才能选择增加同级节点或子节点"));
    hint->setObjectName(QStringLiteral("lblHint"));
    hint->setWordWrap(true);
    hint->setStyleSheet(QStringLiteral("color: red; font-weight: bold;"));
    topLayout->addWidget(icon);
    topLayout->addWidget(hint, 1);

    m_tree = new QTreeWidget;
    m_tree->setObjectName(QStringLiteral("tvTree"));
    m_tree->setHeaderHidden(true);
    m_tree->setColumnCount(1);
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tree->setContextMenuPolicy(Qt::CustomContextMenu);
    m_tree->installEventFilter(this);

    auto *btnAddSame = commandButton(QStringLiteral("btnAddSame"), QStringLiteral("添加同类(&A)"));
    auto *btnAddChild =
        commandButton(QStringLiteral("btnAddChild"), QStringLiteral("添加子类(&C)"));
    m_btnEdit = commandButton(QStringLiteral("btnEdit"), QStringLiteral("修    改(&E)"));
    m_btnDelete = commandButton(QStringLiteral("btnDelete"), QStringLiteral("删除(包含子类)"));
    m_btnOK = commandButton(QStringLiteral("btnOK"), QStringLiteral("确定"));
    m_btnCancel = commandButton(QStringLiteral("btnCancel"), QStringLiteral("取消"));
    m_btnOK->hide();
    m_btnCancel->hide();

    auto *side = new QFrame;
    side->setObjectName(QStringLiteral("Panel2"));
    auto *sideLayout = new QVBoxLayout(side);
    sideLayout->addWidget(btnAddSame);
    sideLayout->addWidget(btnAddChild);
    sideLayout->addWidget(m_btnEdit);
    sideLayout->addWidget(m_btnDelete);
    sideLayout->addStretch();
    sideLayout->addWidget(m_btnOK);
    sideLayout->addWidget(m_btnCancel);

    // Finds a node by its name or the name's pinyin initials (zc: 轴承), the next one on Enter.
    auto *find = new QLineEdit;
    find->setObjectName(QStringLiteral("edtFind"));
    find->setPlaceholderText(QStringLiteral("查找：名称或拼音首字母"));
    find->setClearButtonEnabled(true);
    connect(find, &QLineEdit::textChanged, this,
            [this](const QString &text) { findNode(text, false); });
    connect(find, &QLineEdit::returnPressed, this, [this, find] { findNode(find->text(), true); });
    auto *treePane = new QWidget;
    auto *treeLayout = new QVBoxLayout(treePane);
    treeLayout->setContentsMargins(0, 0, 0, 0);
    treeLayout->setSpacing(2);
    treeLayout->addWidget(find);
    treeLayout->addWidget(m_tree, 1);

    auto *splitter = new QSplitter(Qt::Horizontal);
    splitter->setObjectName(QStringLiteral("Splitter1"));
    splitter->addWidget(treePane);
    splitter->addWidget(side);
    splitter->setStretchFactor(0, 1);
    splitter->setCollapsible(0, false);
    splitter->setCollapsible(1, false);

    m_status = new QStatusBar;
    m_status->setObjectName(QStringLiteral("StatusBar1"));
    m_status->setSizeGripEnabled(false);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(top);
    layout->addWidget(splitter, 1);
    layout->addWidget(m_status);

    m_popup = new QMenu(this);
    m_popup->setObjectName(QStringLiteral("PopupMenu1"));
    auto addMenuItem = [this](const QString &name, const QString &caption, auto command) {
        QAction *action = m_popup->addAction(caption, this, command);
        action->setObjectName(name);
    };
    addMenuItem(QStringLiteral("actAddSame"), QStringLiteral("添加同类(&A)"),
                &TFrmTreeCodeMan::addSibling);
    addMenuItem(QStringLiteral("actAddChild"), QStringLiteral("添加子类(&C)"),
                &TFrmTreeCodeMan::addChild);
    addMenuItem(QStringLiteral("actEdit"), QStringLiteral("修    改"), &TFrmTreeCodeMan::editNode);
    m_popup->addSeparator();
    addMenuItem(QStringLiteral("actDelete"), QStringLiteral("删除(包含子类)"),
                &TFrmTreeCodeMan::deleteNode);

    connect(btnAddSame, &QPushButton::clicked, this, &TFrmTreeCodeMan::addSibling);
    connect(btnAddChild, &QPushButton::clicked, this, &TFrmTreeCodeMan::addChild);
    connect(m_btnEdit, &QPushButton::clicked, this, &TFrmTreeCodeMan::editNode);
    connect(m_btnDelete, &QPushButton::clicked, this, &TFrmTreeCodeMan::deleteNode);
    connect(m_btnOK, &QPushButton::clicked, this, &TFrmTreeCodeMan::chooseNode);
    connect(m_btnCancel, &QPushButton::clicked, this, &TFrmTreeCodeMan::reject);
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, &TFrmTreeCodeMan::chooseNode);
    connect(m_tree, &QTreeWidget::currentItemChanged, this, &TFrmTreeCodeMan::showNodeStatus);
    connect(m_tree, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        if (QTreeWidgetItem *node = m_tree->itemAt(pos))
            m_tree->setCurrentItem(node);
        m_popup->popup(m_tree->viewport()->mapToGlobal(pos));
    });

    setFixedSize(QSize(600, 460));
}

void TFrmTreeCodeMan::SetMode(int mode)
{
    const TreeKind *tree = treeKindByMode(mode);
    if (!tree)
        return;
    m_mode = mode;
    m_kind = tree->flag;
    setWindowTitle(tree->rootCaption);
    LoadTreeCode(m_tree, tree->rootCaption, m_kind)->setExpanded(true);
}

QString TFrmTreeCodeMan::PickType(const QString &current)
{
    m_btnOK->show();
    m_btnCancel->show();
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it) {
        if (nodeLikeCode(*it) == current) {
            m_tree->setCurrentItem(*it);
            (*it)->setExpanded(true);
            m_tree->scrollToItem(*it);
        }
    }
    PlaceForm(this, 0);
    if (exec() != QDialog::Accepted)
        return current;
    return nodeLikeCode(selectedNode());
}

QTreeWidgetItem *TFrmTreeCodeMan::selectedNode() const
{
    QTreeWidgetItem *node = m_tree->currentItem();
    return node && node->isSelected() ? node : nullptr;
}

QString TFrmTreeCodeMan::askNodeName(const QString &title, const QString &preset)
{
    TDLGenterCaption dialog(this);
    dialog.setNodeName(preset);
    return dialog.AskNodeName(title);
}

bool TFrmTreeCodeMan::acceptableName(const QString &name, const QString &path, const QString &code)
{
    // A backslash in a name would read as one more level of every path below it.
    if (name.contains(u'\\')) {
        ShowPrompt(QStringLiteral("节点名称不能包含“\\”！"), Prompt::Information);
        return false;
    }
    // Records hold paths, not codes: two nodes with one path could never be told apart again.
    if (treePathTaken(m_kind, path, code)) {
        ShowPrompt(QStringLiteral("已有同名的同级节点“%1”，请换一个名称！").arg(name),
                   Prompt::Information);
        return false;
    }
    return true;
}

void TFrmTreeCodeMan::addSibling()
{
    QTreeWidgetItem *node = selectedNode();
    if (!node)
        return;
    if (isRootNode(node)) {
        ShowPrompt(QStringLiteral("不能增加根节点的同类节点，该节点只能增加子节点！"),
                   Prompt::Information);
        return;
    }
    const tNodeData selected = nodeData(node);
    const QString code = GetNextTreeCode(selected.Code, m_kind, 1);
    if (code.isEmpty()) {
        ShowPrompt(QStringLiteral("这一级已有 999 个节点，不能再增加！"), Prompt::Information);
        return;
    }
    const QString name = askNodeName(QStringLiteral("添加 ") + selected.Code + u' ' +
                                     selected.Name + QStringLiteral(" 同类"));
    if (name.trimmed().isEmpty())
        return;
    const QString path = childPath(GetNodePath(node, 2), name);
    if (!acceptableName(name, path, QString()) || !insertTreeNode(m_kind, code, name, path))
        return;
    setNodeData(new QTreeWidgetItem(node->parent()), {int(code.size()), code, name, path});
}

void TFrmTreeCodeMan::addChild()
{
    QTreeWidgetItem *node = selectedNode();
    if (!node)
        return;
    const tNodeData selected = nodeData(node);
    const QString code = GetNextTreeCode(isRootNode(node) ? QString() : selected.Code, m_kind, 2);
    if (code.isEmpty()) {
        ShowPrompt(QStringLiteral("这一级已有 999 个节点，不能再增加！"), Prompt::Information);
        return;
    }
    const QString name = askNodeName(QStringLiteral("添加 ") + selected.Code + u' ' +
                                     selected.Name + QStringLiteral(" 子类"));
    if (name.trimmed().isEmpty())
        return;
    const QString path = childPath(isRootNode(node) ? kRootLikeCode : selected.LikeCode, name);
    if (!acceptableName(name, path, QString()) || !insertTreeNode(m_kind, code, name, path))
        return;
    setNodeData(new QTreeWidgetItem(node), {int(code.size()), code, name, path});
    node->setExpanded(true);
}

void TFrmTreeCodeMan::editNode()
{
    QTreeWidgetItem *node = selectedNode();
    if (!node || isRootNode(node))
        return;
    const tNodeData old = nodeData(node);
    const QString name = askNodeName(QStringLiteral("修改类别 ") + old.Code + u' ' + old.Name +
                                         QStringLiteral(" 子类"),
                                     old.Name);
    if (name.trimmed().isEmpty())
        return;
    const QString path = childPath(nodeLikeCode(node->parent()), name);
    if (!acceptableName(name, path, old.Code) ||
        !renameTreeNode(m_kind, old.Code, name, old.LikeCode, path))
        return;
    setNodeData(node, {old.CodeLen, old.Code, name, path});
    movePaths(node, old.LikeCode, path);
    showNodeStatus();
}

void TFrmTreeCodeMan::deleteNode()
{
    QTreeWidgetItem *node = selectedNode();
    if (!node)
        return;
    // Removing the root would empty the view while every row stays stored.
    if (isRootNode(node)) {
        ShowPrompt(QStringLiteral("不能删除根节点！"), Prompt::Information);
        return;
    }
    const tNodeData data = nodeData(node);
    const QString question = node->childCount() > 0
                                 ? QStringLiteral("此节点包含有子节点，真的要删除所有的子节点吗？")
                                 : QStringLiteral("真的要删除当前节点 “") + data.Code + data.Name +
                                       QStringLiteral("” 吗？");
    if (ShowPrompt(question, Prompt::Question) != Prompt::Yes)
        return;
    if (deleteTreeNode(m_kind, data.Code))
        delete node;
}

void TFrmTreeCodeMan::chooseNode()
{
    QTreeWidgetItem *node = selectedNode();
    if (!node)
        return;
    if (isRootNode(node)) {
        ShowPrompt(QStringLiteral("不能选择根节点！"), Prompt::Information);
        return;
    }
    if (isPicker())
        accept();
}

void TFrmTreeCodeMan::showNodeStatus()
{
    const tNodeData data = nodeData(selectedNode());
    m_status->showMessage(data.Code.isEmpty() ? QString()
                                              : data.Code + QStringLiteral("  ") + data.LikeCode);
}

void TFrmTreeCodeMan::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    m_tree->setFocus();
}

bool TFrmTreeCodeMan::handleKey(QKeyEvent *event, bool onTree)
{
    const auto runIfEnabled = [](QPushButton *button) {
        if (button->isEnabled() && button->isVisible())
            button->click();
    };
    const int key = event->key();
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (key == Qt::Key_S && modifiers == Qt::ControlModifier) {
        runIfEnabled(m_btnEdit);
        return true;
    }
    if (key == Qt::Key_Delete && modifiers == Qt::NoModifier) {
        runIfEnabled(m_btnDelete);
        return true;
    }
    if (key == Qt::Key_Escape && modifiers == Qt::NoModifier) {
        reject();
        return true;
    }
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && modifiers == Qt::NoModifier) {
        if (onTree) {
            if (isPicker())
                chooseNode();
        } else if (auto *button = qobject_cast<QPushButton *>(focusWidget())) {
            button->click();
        }
        return true;
    }
    return false;
}

bool TFrmTreeCodeMan::eventFilter(QObject *watched, QEvent *event)
{
    // The window sees the tree's keys first.
    if (watched == m_tree && event->type() == QEvent::KeyPress &&
        handleKey(static_cast<QKeyEvent *>(event), true))
        return true;
    return QDialog::eventFilter(watched, event);
}

void TFrmTreeCodeMan::keyPressEvent(QKeyEvent *event)
{
    if (!handleKey(event, false))
        QDialog::keyPressEvent(event);
}

void showTreeCodeMan(QWidget *owner, int mode)
{
    TFrmTreeCodeMan window(owner);
    window.SetMode(mode);
    PlaceForm(&window, 0);
    window.exec();
}

void TFrmTreeCodeMan::findNode(const QString &text, bool next)
{
    const QString typed = text.trimmed();
    if (typed.isEmpty())
        return;
    QList<QTreeWidgetItem *> nodes;
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it)
        nodes << *it;
    // From the current node when asked for the next, else from the top.
    const qsizetype current = nodes.indexOf(m_tree->currentItem());
    const qsizetype start = next && current >= 0 ? current + 1 : 0;
    for (qsizetype i = 0; i < nodes.size(); ++i) {
        QTreeWidgetItem *node = nodes.at((start + i) % nodes.size());
        if (!isRootNode(node) && Pinyin::matches(node->text(0), typed)) {
            m_tree->setCurrentItem(node);
            m_tree->scrollToItem(node);
            return;
        }
    }
}
