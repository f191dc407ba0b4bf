#pragma once

#include "masterdata/TreeCode.h"

#include <Qt>

class QModelIndex;
class QTreeWidget;
class QTreeWidgetItem;

// Type trees on screen: each node of a QTreeWidget carries its tNodeData.

// Node data lives in these roles of column 0.
enum TreeNodeRole { CodeLenRole = Qt::UserRole + 1, CodeRole, NameRole, LikeCodeRole };

tNodeData nodeData(const QTreeWidgetItem *node);
// Stores the data and makes the name the node's caption.
void setNodeData(QTreeWidgetItem *node, const tNodeData &data);
// Empty for no node.
QString nodeCode(const QTreeWidgetItem *node);
QString nodeLikeCode(const QTreeWidgetItem *node);
bool isRootNode(const QTreeWidgetItem *node);
// 0 for the root, 1 for its children, and so on.
int nodeLevel(const QTreeWidgetItem *node);

// Replaces the tree's content with the root, captioned `rootCaption`, and the nodes of `kind`;
// first-level nodes come expanded, the root does not. Returns the root.
QTreeWidgetItem *LoadTreeCode(QTreeWidget *tree, const QString &rootCaption, const QString &kind);

// Mode 1: the node's path; any other mode: its parent's path. Built from the captions on the
// tree; the root's path for the root.
QString GetNodePath(QTreeWidgetItem *node, int mode);

// Image of a node as the tree draws it: 0 root, 1 first-level node with children, 2 any other
// node, 3 any other node while selected.
int nodeImageIndex(const QModelIndex &index, bool selected);
