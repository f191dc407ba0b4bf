#include "core/SqlFilter.h"
#include "masterdata/TreeCodeView.h"
#include "masterdata/TypePicker.h"
#include "masterdata/uDLGenterCaption.h"
#include "masterdata/uFrmTreeCodeMan.h"
#include "support/ScriptedPrompt.h"
#include "support/TestDatabase.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

namespace {

// Paths are written with "/" here for legibility: "//金属/螺丝" is \\金属\螺丝.
QString p(const QString &slashed)
{
    return QString(slashed).replace(u'/', u'\\');
}

QStringList ps(const QStringList &slashed)
{
    QStringList result;
    for (const QString &s : slashed)
        result << p(s);
    return result;
}

// One tree, in code order, with a look-alike first-level name and a look-alike second-level
// name: renaming 金属 must leave 金属制品 alone, renaming 螺丝 must leave 螺丝钉 alone.
const QList<QStringList> kTree = {
    {"001", "金属", "//金属"},
    {"001001", "螺丝", "//金属/螺丝"},
    {"001001001", "细", "//金属/螺丝/细"},
    {"001002", "螺丝钉", "//金属/螺丝钉"},
    {"002", "金属制品", "//金属制品"},
    {"002001", "螺丝", "//金属制品/螺丝"},
};
const QStringList kKinds{"type", "clttype", "suptype"};
const QStringList kRecordTables{"GoodMain", "T_goods", "T_client", "T_suppler"};

QStringList treePaths()
{
    QStringList paths;
    for (const QStringList &row : kTree)
        paths << p(row[2]);
    return paths;
}

void storeNode(TdmData *dm, const QString &kind, const QString &code, const QString &name,
               const QString &path)
{
    QVERIFY(dm->ExecSql(QStringLiteral("insert into t_treecode(F_code, F_name, F_likecode, F_flag) "
                                       "values(?, ?, ?, ?)"),
                        {code, name, path, kind}));
}

// The tree in every kind and, in every record table, one record per node path.
void addFixture(TdmData *dm)
{
    for (const QString &kind : kKinds) {
        for (const QStringList &row : kTree)
            storeNode(dm, kind, row[0], row[1], p(row[2]));
    }
    for (const QString &table : kRecordTables) {
        for (const QString &path : treePaths())
            QVERIFY(
                dm->ExecSql(QStringLiteral("insert into %1(F_type) values(?)").arg(table), {path}));
    }
}

QStringList storedPaths(TdmData *dm, const QString &kind)
{
    return dm->FillCombo(
        QStringLiteral("select F_likecode from t_treecode where F_flag = ? order by F_code"),
        {kind});
}

QStringList storedCodes(TdmData *dm, const QString &kind)
{
    return dm->FillCombo(
        QStringLiteral("select F_code from t_treecode where F_flag = ? order by F_code"), {kind});
}

QStringList recordTypes(TdmData *dm, const QString &table)
{
    QStringList types = dm->FillCombo(QStringLiteral("select F_type from %1").arg(table));
    types.sort();
    return types;
}

QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

QTreeWidgetItem *findNode(QTreeWidget *tree, const QString &code)
{
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        if (nodeCode(*it) == code)
            return *it;
    }
    return nullptr;
}

// Codes below the root in pre-order, or their paths.
QStringList treeColumn(QTreeWidget *tree, bool paths)
{
    QStringList values;
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        if (!isRootNode(*it))
            values << (paths ? nodeLikeCode(*it) : nodeCode(*it));
    }
    return values;
}

// "000(001(001001),002)": each node's code with its children in brackets.
QString shape(const QTreeWidgetItem *node)
{
    QStringList children;
    for (int i = 0; i < node->childCount(); ++i)
        children << shape(node->child(i));
    return nodeCode(node) + (children.isEmpty() ? QString() : u'(' + children.join(u',') + u')');
}

// Runs `act` on the next modal window of type T as soon as it is up; never after `scope` dies.
template <typename T, typename F> void whenModal(QObject *scope, F act, int attempts = 300)
{
    QTimer::singleShot(10, scope, [=] {
        auto *window = qobject_cast<T *>(QApplication::activeModalWidget());
        if (window && window->isVisible())
            act(window);
        else if (attempts > 0)
            whenModal<T>(scope, act, attempts - 1);
    });
}

struct NameDialogSeen
{
    bool shown = false;
    QString title;
    QString preset;
};

// Answers the next name dialog with `text`, or cancels it when `text` is empty.
void answerName(QObject *scope, NameDialogSeen *seen, const QString &text)
{
    whenModal<TDLGenterCaption>(scope, [=](TDLGenterCaption *dialog) {
        auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("edtCaption"));
        seen->shown = true;
        seen->title = dialog->windowTitle();
        seen->preset = edit->text();
        if (text.isEmpty()) {
            dialog->findChild<QPushButton *>(QStringLiteral("btnCancel"))->click();
            return;
        }
        edit->setText(text);
        dialog->findChild<QPushButton *>(QStringLiteral("btnOK"))->click();
    });
}

void click(QWidget *window, const QString &button)
{
    window->findChild<QPushButton *>(button)->click();
}

} // namespace

// The type trees: codes, paths, the tree builder, the type-tree window and the picker.
class TestTreeCode : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase_data() { TestDatabase::addEngineRows(); }

    void nextTreeCode_data()
    {
        QTest::addColumn<QStringList>("codes");
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("expected");
        const QStringList subtree{"001", "001001", "001002", "001002001", "001002002"};
        QTest::newRow("empty tree") << QStringList() << "" << 2 << "001";
        QTest::newRow("child of the root by its code") << QStringList{"001"} << "000" << 2 << "002";
        QTest::newRow("first child") << QStringList{"001"} << "001" << 2 << "001001";
        QTest::newRow("child after a subtree") << subtree << "001" << 2 << "001003";
        QTest::newRow("sibling after a subtree") << subtree << "001001" << 1 << "001003";
        QTest::newRow("sibling of the last, which has children")
            << QStringList{"001", "001002", "001002001", "001002002"} << "001002" << 1 << "001003";
        QTest::newRow("first-level sibling")
            << QStringList{"001", "002", "002001"} << "001" << 1 << "003";
        QTest::newRow("099 to 100") << QStringList{"001", "001099"} << "001" << 2 << "001100";
        QTest::newRow("first level full") << QStringList{"999"} << "" << 2 << "";
        QTest::newRow("level full") << QStringList{"001", "001999"} << "001999" << 1 << "";
        QTest::newRow("parent row gone") << QStringList() << "005" << 2 << "005001";
    }

    void nextTreeCode()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(QStringList, codes);
        QFETCH(QString, code);
        QFETCH(int, mode);
        QFETCH(QString, expected);
        TestDatabase db(engine);
        QVERIFY2(db.ok(), qPrintable(db.error()));
        for (const QString &c : codes)
            storeNode(db.dm(), "type", c, c, "//" + c);
        // Higher codes in another tree must not count.
        for (const char *c : {"998", "001998", "001002998", "005998"})
            storeNode(db.dm(), "clttype", c, c, "//" + QString(c));
        QCOMPARE(GetNextTreeCode(code, "type", mode), expected);
    }

    void loadTree_data()
    {
        QTest::addColumn<QStringList>("codes");
        QTest::addColumn<QString>("expected");
        QTest::newRow("root alone") << QStringList() << "000";
        QTest::newRow("two first-level nodes")
            << QStringList{"001", "001001", "002"} << "000(001(001001),002)";
        QTest::newRow("back up two levels")
            << QStringList{"001", "001001", "001001001", "002", "002001"}
            << "000(001(001001(001001001)),002(002001))";
        QTest::newRow("stored out of order")
            << QStringList{"002", "001001", "001"} << "000(001(001001),002)";
        QTest::newRow("missing level")
            << QStringList{"001", "001001001", "002"} << "000(001(001001001),002)";
        QTest::newRow("length of no ancestor")
            << QStringList{"001", "001001", "0020"} << "000(001(001001),0020)";
    }

    void loadTree()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(QStringList, codes);
        QFETCH(QString, expected);
        TestDatabase db(engine);
        for (const QString &c : codes)
            storeNode(db.dm(), "type", c, "n" + c, "//n" + c);
        storeNode(db.dm(), "suptype", "001", "other", "//other");
        storeNode(db.dm(), "suptype", "003", "other", "//other");

        QTreeWidget tree;
        tree.addTopLevelItem(new QTreeWidgetItem({"stale"}));
        QTreeWidgetItem *root = LoadTreeCode(&tree, "样品类型", "type");
        QCOMPARE(tree.topLevelItemCount(), 1);
        QCOMPARE(tree.topLevelItem(0), root);
        QCOMPARE(shape(root), expected);
        const tNodeData rootData = nodeData(root);
        QCOMPARE(rootData.CodeLen, 0);
        QCOMPARE(rootData.Name, "样品类型");
        QCOMPARE(rootData.LikeCode, "\\\\");
        QCOMPARE(root->text(0), "样品类型");
        QVERIFY(isRootNode(root));
        for (QTreeWidgetItemIterator it(&tree); *it; ++it) {
            if (*it == root)
                continue;
            const tNodeData data = nodeData(*it);
            QCOMPARE(data.CodeLen, data.Code.size());
            QCOMPARE((*it)->text(0), "n" + data.Code);
            QCOMPARE(data.LikeCode, "//n" + data.Code);
            QCOMPARE((*it)->isExpanded(), nodeLevel(*it) == 1);
        }
    }

    void nodeImages()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        storeNode(db.dm(), "type", "001", "a", p("//a"));
        storeNode(db.dm(), "type", "001001", "b", p("//a/b"));
        storeNode(db.dm(), "type", "002", "c", p("//c"));
        QTreeWidget tree;
        LoadTreeCode(&tree, "样品类型", "type");
        const QAbstractItemModel *model = tree.model();
        const QModelIndex root = model->index(0, 0);
        const QModelIndex withChild = model->index(0, 0, root);
        const QModelIndex leaf = model->index(1, 0, root);
        const QModelIndex deeper = model->index(0, 0, withChild);
        QCOMPARE(nodeImageIndex(root, true), 0);
        QCOMPARE(nodeImageIndex(withChild, true), 1);
        QCOMPARE(nodeImageIndex(leaf, false), 2);
        QCOMPARE(nodeImageIndex(deeper, false), 2);
        QCOMPARE(nodeImageIndex(deeper, true), 3);
        delete findNode(&tree, "001001");
        QCOMPARE(nodeImageIndex(model->index(0, 0, root), false), 2);
    }

    void nodePath_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("expected");
        QTest::newRow("third level") << "001001001" << 1 << "//金属/螺丝/细";
        QTest::newRow("its parent") << "001001001" << 2 << "//金属/螺丝";
        QTest::newRow("first level") << "002" << 1 << "//金属制品";
        QTest::newRow("parent of the first level") << "002" << 2 << "//";
    }

    void nodePath()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(QString, code);
        QFETCH(int, mode);
        QFETCH(QString, expected);
        TestDatabase db(engine);
        addFixture(db.dm());
        QTreeWidget tree;
        LoadTreeCode(&tree, "样品类型", "type");
        QCOMPARE(GetNodePath(findNode(&tree, code), mode), p(expected));
    }

    void modes_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("kind");
        QTest::newRow("1") << 1 << "样品类型"
                           << "type";
        QTest::newRow("2") << 2 << "样品类型"
                           << "type";
        QTest::newRow("3") << 3 << "客户类型"
                           << "clttype";
        QTest::newRow("4") << 4 << "客户类型"
                           << "clttype";
        QTest::newRow("5") << 5 << "供应商类型"
                           << "suptype";
        QTest::newRow("6") << 6 << "供应商类型"
                           << "suptype";
    }

    void modes()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(int, mode);
        QFETCH(QString, title);
        QFETCH(QString, kind);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        storeNode(db.dm(), kind, "001", kind, "//" + kind);
        TFrmTreeCodeMan window;
        window.SetMode(mode);
        window.show();
        QCOMPARE(window.windowTitle(), title);
        QCOMPARE(window.kind(), kind);
        QTreeWidgetItem *root = window.tree()->topLevelItem(0);
        QCOMPARE(root->text(0), title);
        QVERIFY(root->isExpanded());
        QCOMPARE(root->child(0)->text(0), kind);
        QVERIFY(!window.findChild<QPushButton *>("btnOK")->isVisible());

        // Choosing the root is refused in every mode; a node closes only a picker.
        window.tree()->setCurrentItem(root);
        window.chooseNode();
        QCOMPARE(prompt.texts(), QStringList{"不能选择根节点！"});
        window.tree()->setCurrentItem(root->child(0));
        window.chooseNode();
        QCOMPARE(window.isVisible(), mode % 2 == 1);
    }

    void addNode_data()
    {
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("path");
        QTest::newRow("child of the root") << "000"
                                           << "btnAddChild"
                                           << "O'Neil 5%_"
                                           << "添加 000 样品类型 子类"
                                           << "003"
                                           << "//O'Neil 5%_";
        QTest::newRow("first-level sibling") << "002"
                                             << "btnAddSame"
                                             << "铜"
                                             << "添加 002 金属制品 同类"
                                             << "003"
                                             << "//铜";
        QTest::newRow("deeper sibling, untrimmed") << "001001"
                                                   << "btnAddSame"
                                                   << " 垫圈 "
                                                   << "添加 001001 螺丝 同类"
                                                   << "001003"
                                                   << "//金属/ 垫圈 ";
        QTest::newRow("child of a leaf") << "002001"
                                         << "btnAddChild"
                                         << "粗"
                                         << "添加 002001 螺丝 子类"
                                         << "002001001"
                                         << "//金属制品/螺丝/粗";
    }

    void addNode()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(QString, selected);
        QFETCH(QString, button);
        QFETCH(QString, typed);
        QFETCH(QString, title);
        QFETCH(QString, code);
        QFETCH(QString, path);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        addFixture(db.dm());
        TFrmTreeCodeMan window;
        window.SetMode(1);
        window.show();
        QTreeWidgetItem *node = findNode(window.tree(), selected);
        window.tree()->setCurrentItem(node);
        QObject scope;
        NameDialogSeen seen;
        answerName(&scope, &seen, typed);
        click(&window, button);

        QVERIFY(seen.shown);
        QCOMPARE(seen.title, title);
        QCOMPARE(seen.preset, QString());
        QVERIFY2(prompt.shown.isEmpty(), qPrintable(prompt.texts().join(u'|')));
        QCOMPARE(db.dm()->GetStrValue("select F_name from t_treecode where F_flag = ? and "
                                      "F_code = ?",
                                      {"type", code}),
                 typed);
        QCOMPARE(db.dm()->GetStrValue("select F_likecode from t_treecode where F_flag = ? and "
                                      "F_code = ?",
                                      {"type", code}),
                 p(path));
        QCOMPARE(storedCodes(db.dm(), "clttype").size(), kTree.size());
        QTreeWidgetItem *added = findNode(window.tree(), code);
        QVERIFY(added);
        QCOMPARE(added->parent(), button == "btnAddChild" ? node : node->parent());
        QCOMPARE(added->parent()->indexOfChild(added), added->parent()->childCount() - 1);
        QCOMPARE(added->text(0), typed);
        QCOMPARE(nodeLikeCode(added), p(path));
        QCOMPARE(nodeData(added).CodeLen, code.size());
    }

    void addRefused_data()
    {
        QTest::addColumn<QStringList>("extra");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("asks");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("prompts");
        QTest::newRow("sibling of the root")
            << QStringList() << "000"
            << "btnAddSame" << false << ""
            << QStringList{"不能增加根节点的同类节点，该节点只能增加子节点！"};
        QTest::newRow("name cancelled") << QStringList() << "001"
                                        << "btnAddChild" << true << "" << QStringList();
        QTest::newRow("backslash in the name")
            << QStringList() << "001"
            << "btnAddChild" << true << "a\\b" << QStringList{"节点名称不能包含“\\”！"};
        QTest::newRow("name of a sibling")
            << QStringList() << "001"
            << "btnAddChild" << true << "螺丝"
            << QStringList{"已有同名的同级节点“螺丝”，请换一个名称！"};
        QTest::newRow("level full")
            << QStringList{"001999"} << "001"
            << "btnAddChild" << false << "" << QStringList{"这一级已有 999 个节点，不能再增加！"};
    }

    void addRefused()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(QStringList, extra);
        QFETCH(QString, selected);
        QFETCH(QString, button);
        QFETCH(bool, asks);
        QFETCH(QString, typed);
        QFETCH(QStringList, prompts);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        addFixture(db.dm());
        for (const QString &code : extra)
            storeNode(db.dm(), "type", code, "x", "//金属/x");
        const int rows = db.dm()->GetIntValue("select count(*) from t_treecode");
        TFrmTreeCodeMan window;
        window.SetMode(1);
        window.show();
        const QStringList before = treeColumn(window.tree(), true);
        window.tree()->setCurrentItem(findNode(window.tree(), selected));
        QObject scope;
        NameDialogSeen seen;
        if (asks)
            answerName(&scope, &seen, typed);
        click(&window, button);
        QCOMPARE(seen.shown, asks);
        QCOMPARE(prompt.texts(), prompts);
        QCOMPARE(db.dm()->GetIntValue("select count(*) from t_treecode"), rows);
        QCOMPARE(treeColumn(window.tree(), true), before);
    }

    void renameCascades_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("sample type, first level")
            << "type"
            << "001"
            << "钢"
            << "修改类别 001 金属 子类"
            << QStringList{"//钢",        "//钢/螺丝",  "//钢/螺丝/细",
                           "//钢/螺丝钉", "//金属制品", "//金属制品/螺丝"};
        QTest::newRow("client type, second level")
            << "clttype"
            << "001001"
            << "钉"
            << "修改类别 001001 螺丝 子类"
            << QStringList{"//金属",        "//金属/钉",  "//金属/钉/细",
                           "//金属/螺丝钉", "//金属制品", "//金属制品/螺丝"};
        QTest::newRow("supplier type, the look-alike")
            << "suptype"
            << "002"
            << "制品"
            << "修改类别 002 金属制品 子类"
            << QStringList{"//金属",        "//金属/螺丝", "//金属/螺丝/细",
                           "//金属/螺丝钉", "//制品",      "//制品/螺丝"};
    }

    void renameCascades()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(QString, kind);
        QFETCH(QString, code);
        QFETCH(QString, name);
        QFETCH(QString, title);
        QFETCH(QStringList, expected);
        expected = ps(expected);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        addFixture(db.dm());
        TFrmTreeCodeMan window;
        window.SetMode(treeKindByFlag(kind)->maintenanceMode);
        window.show();
        window.tree()->setCurrentItem(findNode(window.tree(), code));
        QObject scope;
        NameDialogSeen seen;
        answerName(&scope, &seen, name);
        click(&window, "btnEdit");

        QVERIFY(seen.shown);
        QCOMPARE(seen.title, title);
        for (const QStringList &row : kTree) {
            if (row[0] == code)
                QCOMPARE(seen.preset, row[1]);
        }
        QVERIFY2(prompt.shown.isEmpty(), qPrintable(prompt.texts().join(u'|')));
        QCOMPARE(db.dm()->GetStrValue(
                     "select F_name from t_treecode where F_flag = ? and F_code = ?", {kind, code}),
                 name);
        QCOMPARE(storedPaths(db.dm(), kind), expected);
        QCOMPARE(treeColumn(window.tree(), true), expected);
        QCOMPARE(findNode(window.tree(), code)->text(0), name);
        for (const QString &other : kKinds) {
            if (other != kind)
                QCOMPARE(storedPaths(db.dm(), other), treePaths());
        }
        const QStringList ownTables = treeKindByFlag(kind)->recordTables;
        for (const QString &table : kRecordTables) {
            QCOMPARE(recordTypes(db.dm(), table),
                     sorted(ownTables.contains(table) ? expected : treePaths()));
        }
    }

    void renameRollsBackAsAWhole()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        addFixture(db.dm());
        // A catalogue record at the column's width: the longer name cannot fit into it, and
        // the catalogue is written after the samples.
        const QString full = p("//金属/") + QString(250, u'x');
        QVERIFY(db.dm()->ExecSql("insert into T_goods(F_type) values(?)", {full}));
        TFrmTreeCodeMan window;
        window.SetMode(1);
        window.show();
        QTreeWidgetItem *node = findNode(window.tree(), "001");
        window.tree()->setCurrentItem(node);
        QObject scope;
        NameDialogSeen seen;
        answerName(&scope, &seen, "金属金属");
        click(&window, "btnEdit");

        QVERIFY(seen.shown);
        QCOMPARE(prompt.texts(), QStringList{kMsgTreeFailed});
        QCOMPARE(prompt.shown[0].kind, int(Prompt::Error));
        QCOMPARE(db.dm()->GetStrValue("select F_name from t_treecode where F_flag = 'type' and "
                                      "F_code = '001'"),
                 "金属");
        QCOMPARE(storedPaths(db.dm(), "type"), treePaths());
        QCOMPARE(recordTypes(db.dm(), "GoodMain"), sorted(treePaths()));
        QCOMPARE(recordTypes(db.dm(), "T_goods"), sorted(treePaths() << full));
        QCOMPARE(node->text(0), "金属");
        QCOMPARE(treeColumn(window.tree(), true), treePaths());
    }

    void deleteNode_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("asked");
        QTest::addColumn<QStringList>("remaining");
        const QStringList all{"001", "001001", "001001001", "001002", "002", "002001"};
        QTest::newRow("with children, yes")
            << "001" << int(Prompt::Yes) << "此节点包含有子节点，真的要删除所有的子节点吗？"
            << QStringList{"002", "002001"};
        QTest::newRow("with children, no")
            << "001" << int(Prompt::No) << "此节点包含有子节点，真的要删除所有的子节点吗？" << all;
        QTest::newRow("leaf, yes")
            << "001002" << int(Prompt::Yes) << "真的要删除当前节点 “001002螺丝钉” 吗？"
            << QStringList{"001", "001001", "001001001", "002", "002001"};
        QTest::newRow("root") << "000" << int(Prompt::Yes) << "不能删除根节点！" << all;
    }

    void deleteNode()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(QString, code);
        QFETCH(int, answer);
        QFETCH(QString, asked);
        QFETCH(QStringList, remaining);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        prompt.answer({answer});
        addFixture(db.dm());
        TFrmTreeCodeMan window;
        window.SetMode(3);
        window.show();
        window.tree()->setCurrentItem(findNode(window.tree(), code));
        QTest::keyClick(window.tree(), Qt::Key_Delete);

        QCOMPARE(prompt.texts(), QStringList{asked});
        QCOMPARE(storedCodes(db.dm(), "clttype"), remaining);
        QCOMPARE(treeColumn(window.tree(), false), remaining);
        QCOMPARE(storedPaths(db.dm(), "type"), treePaths());
        QCOMPARE(storedPaths(db.dm(), "suptype"), treePaths());
        // Records keep the paths of deleted nodes.
        QCOMPARE(recordTypes(db.dm(), "T_client"), sorted(treePaths()));
    }

    void picker_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("preselected");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QStringList>("prompts");
        QTest::newRow("preselected, OK") << "type" << p("//金属/螺丝/细") << "ok"
                                         << "001001001" << p("//金属/螺丝/细") << QStringList();
        QTest::newRow("cancel keeps the text") << "clttype"
                                               << "旧的'值%"
                                               << "cancel"
                                               << ""
                                               << "旧的'值%" << QStringList();
        QTest::newRow("root refused") << "suptype" << p("//金属") << "root"
                                      << "001" << p("//金属") << QStringList{"不能选择根节点！"};
        QTest::newRow("double-click") << "type"
                                      << ""
                                      << "double-click 002"
                                      << "" << p("//金属制品") << QStringList();
        QTest::newRow("Enter") << "clttype" << p("//金属制品/螺丝") << "enter 001"
                               << "002001" << p("//金属") << QStringList();
    }

    void picker()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(QString, kind);
        QFETCH(QString, current);
        QFETCH(QString, action);
        QFETCH(QString, preselected);
        QFETCH(QString, expected);
        QFETCH(QStringList, prompts);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        addFixture(db.dm());

        QObject scope;
        struct
        {
            QString title;
            QString selected;
            bool shownVisible = false;
            bool okVisible = false;
            bool openAfterRoot = false;
        } seen;
        whenModal<TFrmTreeCodeMan>(&scope, [&](TFrmTreeCodeMan *window) {
            QTreeWidget *tree = window->tree();
            seen.title = window->windowTitle();
            seen.selected = tree->currentItem() && tree->currentItem()->isSelected()
                                ? nodeCode(tree->currentItem())
                                : QString();
            seen.shownVisible =
                tree->currentItem() && !tree->visualItemRect(tree->currentItem()).isEmpty();
            seen.okVisible = window->findChild<QPushButton *>("btnOK")->isVisible();
            if (action == "ok") {
                click(window, "btnOK");
            } else if (action == "cancel") {
                click(window, "btnCancel");
            } else if (action == "root") {
                tree->setCurrentItem(tree->topLevelItem(0));
                click(window, "btnOK");
                seen.openAfterRoot = window->isVisible();
                QTest::keyClick(tree, Qt::Key_Escape);
            } else if (action.startsWith("double-click")) {
                QTreeWidgetItem *node = findNode(tree, action.section(u' ', 1));
                tree->setCurrentItem(node);
                const QPoint at = tree->visualItemRect(node).center();
                QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
                QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
            } else {
                tree->setCurrentItem(findNode(tree, action.section(u' ', 1)));
                QTest::keyClick(tree, Qt::Key_Return);
            }
            // A picker left open would hang the test.
            if (window->isVisible())
                window->reject();
        });
        const QString result = PickType(nullptr, kind, current);

        QCOMPARE(seen.title, treeKindByFlag(kind)->rootCaption);
        QVERIFY(seen.okVisible);
        QCOMPARE(seen.selected, preselected);
        if (!preselected.isEmpty())
            QVERIFY(seen.shownVisible);
        QCOMPARE(result, expected);
        QCOMPARE(prompt.texts(), prompts);
        QCOMPARE(seen.openAfterRoot, action == "root");
    }

    void keys()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        addFixture(db.dm());
        TFrmTreeCodeMan window;
        window.SetMode(5);
        window.show();
        window.tree()->setCurrentItem(findNode(window.tree(), "001001"));
        QObject scope;
        NameDialogSeen seen;
        answerName(&scope, &seen, QString());
        QTest::keyClick(window.tree(), Qt::Key_S, Qt::ControlModifier);
        QVERIFY(seen.shown);
        QCOMPARE(seen.title, "修改类别 001001 螺丝 子类");
        QCOMPARE(seen.preset, "螺丝");
        // Enter in a maintenance mode neither chooses nor presses a button.
        QTest::keyClick(window.tree(), Qt::Key_Return);
        QVERIFY(window.isVisible());
        QTest::keyClick(window.tree(), Qt::Key_Escape);
        QVERIFY(!window.isVisible());
        QCOMPARE(window.result(), int(QDialog::Rejected));
        QVERIFY(prompt.shown.isEmpty());
        QCOMPARE(storedPaths(db.dm(), "suptype"), treePaths());
    }

    void nameDialog_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QStringList>("prompts");
        QTest::newRow("OK keeps blanks") << " 铝 " << true << " 铝 " << QStringList();
        QTest::newRow("cancel") << "铝" << false << "" << QStringList();
        QTest::newRow("blank refused") << "   " << true << "" << QStringList{"部门名称不能为空！"};
    }

    void nameDialog()
    {
        QFETCH(QString, typed);
        QFETCH(bool, ok);
        QFETCH(QString, expected);
        QFETCH(QStringList, prompts);
        ScriptedPrompt prompt;
        QObject scope;
        bool stayedOpen = false;
        bool focusedEdit = false;
        whenModal<TDLGenterCaption>(&scope, [&](TDLGenterCaption *dialog) {
            auto *edit = dialog->findChild<QLineEdit *>("edtCaption");
            edit->setText(typed);
            if (ok)
                click(dialog, "btnOK");
            stayedOpen = dialog->isVisible();
            focusedEdit = dialog->focusWidget() == edit;
            if (dialog->isVisible())
                click(dialog, "btnCancel");
        });
        TDLGenterCaption dialog;
        QCOMPARE(dialog.AskNodeName("标题"), expected);
        QCOMPARE(dialog.windowTitle(), "标题");
        QCOMPARE(prompt.texts(), prompts);
        if (!prompts.isEmpty())
            QVERIFY(stayedOpen && focusedEdit);
    }

    void typeFilter_data()
    {
        QTest::addColumn<QString>("likeCode");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("node and descendants, not the look-alike")
            << p("//金属") << ps({"//金属", "//金属/螺丝", "//金属/螺丝/细", "//金属/螺丝钉"});
        QTest::newRow("second level") << p("//金属/螺丝") << ps({"//金属/螺丝", "//金属/螺丝/细"});
        QTest::newRow("wildcards are data") << p("//5%_") << ps({"//5%_", "//5%_/a"});
        QTest::newRow("root adds nothing") << p("//") << QStringList();
    }

    void typeFilter()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(QString, likeCode);
        QFETCH(QStringList, expected);
        TestDatabase db(engine);
        addFixture(db.dm());
        for (const QString &path : ps({"//5%_", "//5%_/a", "//5x", "//5%_x"}))
            QVERIFY(db.dm()->ExecSql("insert into GoodMain(F_type) values(?)", {path}));
        SqlFilter filter(db.dm()->dialect());
        addTypeFilter(filter, "F_type", likeCode);
        if (expected.isEmpty()) {
            QVERIFY(filter.isEmpty());
            return;
        }
        QCOMPARE(sorted(db.dm()->FillCombo("select F_type from GoodMain " + filter.where(),
                                           filter.values())),
                 sorted(expected));
    }
};

QTEST_MAIN(TestTreeCode)
#include "tst_treecode.moc"
