#pragma once

class QPoint;
class QTreeWidget;
class QTreeWidgetItem;

namespace tabulor {

// The integer kept with every item of the structure tree.
enum TreeItemKind : int {
  ColumnItem = 0,
  TablesSection = 1,
  OtherSection = 2,  // views, temporary tables, temporary views
  TableItem = 100,   // main or temporary
  ViewItem = 200,    // main or temporary
};

constexpr bool isTableKind(int kind) { return kind == TableItem; }

// Items are numbered from 0 in depth-first order over the whole tree, collapsed items
// included; -1 stands for none.
int treeItemCount(const QTreeWidget& tree);
QTreeWidgetItem* treeItemAt(const QTreeWidget& tree, int number);
int treeItemNumber(const QTreeWidget& tree, const QTreeWidgetItem* item);
// The kind of an item; 0 for none.
int treeItemKind(const QTreeWidgetItem* item);
// The item whose picture or text lies under a point of the tree's viewport; none on the
// blank rest of a row, its indentation or below the last item.
QTreeWidgetItem* itemPictureOrTextAt(const QTreeWidget& tree, const QPoint& at);

}  // namespace tabulor
