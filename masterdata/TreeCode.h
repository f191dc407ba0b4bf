#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class SqlFilter;

// Type trees: samples, clients and suppliers are classified by the nodes of three trees kept in
// t_treecode. A node's code is a chain of three-digit segments, one per level; its path
// (like-code) is "\\" + the names from the first level down, separated by "\". Records store
// the path of their node in F_type.

// One tree of t_treecode, told apart by F_flag.
struct TreeKind
{
    QString flag;        // F_flag: "type", "clttype", "suptype"
    QString rootCaption; // also the title of the type-tree window
    int maintenanceMode;
    int pickerMode;
    QStringList recordTables; // tables whose F_type holds paths of this tree
};

const QList<TreeKind> &treeKinds();
// Null for a mode or flag that names no tree.
const TreeKind *treeKindByMode(int mode);
const TreeKind *treeKindByFlag(const QString &flag);

// What each tree-view node carries.
struct tNodeData
{
    int CodeLen = 0; // 0 for the root
    QString Code;    // "000" for the root
    QString Name;    // the root's is the tree's caption
    QString LikeCode;
};

inline const QString kRootCode = QStringLiteral("000");
inline const QString kRootLikeCode = QStringLiteral("\\\\");
// What a failed change of a type tree reports.
inline const QString kMsgTreeFailed = QStringLiteral("数据连接失败，请与作者联系... ");

// The nodes of `kind` in code order (parents before their children); false in `ok` when
// they could not be read (the error box has been shown).
QList<tNodeData> treeNodes(const QString &kind, bool *ok = nullptr);

// The path of a child named `name` under `parentPath` (a child of the root gets "\\" + name).
QString childPath(const QString &parentPath, const QString &name);

// The code for a new node in `kind`: mode 1 a sibling of `code`, mode 2 a child of `code` (empty
// or "000" for the root). Empty when that level already holds "999".
QString GetNextTreeCode(const QString &code, const QString &kind, int mode);

// Writing nodes. Each reports its own failure with the error box and changes nothing then.
bool insertTreeNode(const QString &kind, const QString &code, const QString &name,
                    const QString &path);
// Renames the node and carries the new path into its descendants and into the F_type of the
// records of the kind that hold the old path, all or nothing.
bool renameTreeNode(const QString &kind, const QString &code, const QString &name,
                    const QString &oldPath, const QString &newPath);
// Deletes the node and its descendants in `kind`; records keep their paths.
bool deleteTreeNode(const QString &kind, const QString &code);
// Whether another node of `kind` (not `exceptCode`) already has `path`.
bool treePathTaken(const QString &kind, const QString &path, const QString &exceptCode = {});

// Restricts a list to the records of the node with `likeCode` and of its descendants, by exact
// path so that "\\A" does not take in "\\AB". Adds nothing for an empty path or the root's.
void addTypeFilter(SqlFilter &filter, const QString &column, const QString &likeCode);
