// The structure tree's item kinds and display filter, and its items numbered depth-first.
#pragma once

class QPoint;
class QTreeWidget;
class QTreeWidgetItem;

namespace tabulor {

// The integer kept with every item of the structure tree.
enum TreeItemKind : int {
  NoItem = -1,  // what treeItemKind says of no item at all
  ColumnItem = 0,
  TablesSection = 1,
  OtherSection = 2,  // views, temporary tables, temporary views
  TableItem = 100,   // main or temporary
  ViewItem = 200,    // main or temporary
};

constexpr bool isTableKind(TreeItemKind kind) { return kind == TableItem; }

// The entries of the display filter 组合框_显示内容, by number.
enum DisplayFilter : int {
  AllObjects = 0,
  TablesOnly = 1,
  ViewsOnly = 2,
  TemporaryTablesOnly = 3,
  TemporaryViewsOnly = 4,
};

// Items are numbered from 0 in depth-first order over the whole tree, collapsed items
// included; -1 stands for none.
int treeItemCount(const QTreeWidget& tree);
QTreeWidgetItem* treeItemAt(const QTreeWidget& tree, int number);
int treeItemNumber(const QTreeWidget& tree, const QTreeWidgetItem* item);
TreeItemKind treeItemKind(const QTreeWidgetItem* item);
// The item whose picture or text lies under a point of the tree's viewport; none on the
// blank rest of a row, its indentation or below the last item.
QTreeWidgetItem* itemPictureOrTextAt(const QTreeWidget& tree, const QPoint& at);

}  // namespace tabulor
