// The structure tree: numbering its items, and the main window's methods that fill and read it.

#include "app/structure_tree.h"

#include <algorithm>

#include <QComboBox>
#include <QMenu>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTreeWidget>

#include "app/icons.h"
#include "app/main_window.h"
#include "platform/qstring_conversion.h"
#include "sqlitedb/sqlite_table.h"

namespace tabulor {
namespace {

constexpr int kKindRole = Qt::UserRole;

int countBelow(const QTreeWidgetItem* item) {
  int count = 0;
  for (int i = 0; i < item->childCount(); ++i) count += 1 + countBelow(item->child(i));
  return count;
}

// Walks depth-first, counting down `remaining` until it reaches 0.
QTreeWidgetItem* walkTo(QTreeWidgetItem* item, int& remaining) {
  if (remaining == 0) return item;
  --remaining;
  for (int i = 0; i < item->childCount(); ++i)
    if (QTreeWidgetItem* found = walkTo(item->child(i), remaining)) return found;
  return nullptr;
}

QTreeWidgetItem* addItem(QTreeWidgetItem* parent, const QString& text, TreeItemKind kind,
                         TreeImage image) {
  auto* item = new QTreeWidgetItem(parent, QStringList{text});
  item->setData(0, kKindRole, kind);
  item->setIcon(0, treeIcon(image));
  return item;
}

QTreeWidgetItem* addSection(QTreeWidget& tree, const QString& title,
                            const std::vector<std::string>& names, TreeItemKind kind,
                            TreeImage image) {
  auto* section = new QTreeWidgetItem(
      QStringList{title + QStringLiteral(" (") + QString::number(names.size()) + QLatin1Char(')')});
  section->setData(0, kKindRole, kind);
  section->setIcon(0, treeIcon(image));
  tree.addTopLevelItem(section);
  return section;
}

}  // namespace

QTreeWidgetItem* itemPictureOrTextAt(const QTreeWidget& tree, const QPoint& at) {
  QTreeWidgetItem* item = tree.itemAt(at);
  if (!item) return nullptr;
  QStyleOptionViewItem option;
  option.initFrom(&tree);
  option.rect = tree.visualItemRect(item);
  option.font = tree.font();
  option.fontMetrics = tree.fontMetrics();
  option.features = QStyleOptionViewItem::HasDisplay | QStyleOptionViewItem::HasDecoration;
  option.icon = item->icon(0);
  option.text = item->text(0);
  option.decorationSize = tree.iconSize();
  option.decorationPosition = QStyleOptionViewItem::Left;
  option.displayAlignment = Qt::AlignLeft | Qt::AlignVCenter;
  const QStyle* style = tree.style();
  const QRect picture = style->subElementRect(QStyle::SE_ItemViewItemDecoration, &option, &tree);
  QRect text = style->subElementRect(QStyle::SE_ItemViewItemText, &option, &tree);
  // The style gives the text the rest of the row; only the written part counts.
  const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &tree) + 1;
  text.setWidth(
      std::min(text.width(), tree.fontMetrics().horizontalAdvance(option.text) + 2 * margin));
  return picture.contains(at) || text.contains(at) ? item : nullptr;
}

int treeItemCount(const QTreeWidget& tree) {
  int count = 0;
  for (int i = 0; i < tree.topLevelItemCount(); ++i) count += 1 + countBelow(tree.topLevelItem(i));
  return count;
}

QTreeWidgetItem* treeItemAt(const QTreeWidget& tree, int number) {
  if (number < 0) return nullptr;
  int remaining = number;
  for (int i = 0; i < tree.topLevelItemCount(); ++i)
    if (QTreeWidgetItem* found = walkTo(tree.topLevelItem(i), remaining)) return found;
  return nullptr;
}

int treeItemNumber(const QTreeWidget& tree, const QTreeWidgetItem* item) {
  if (!item) return -1;
  // Items before it: for each ancestor level, the earlier siblings with their subtrees,
  // plus the ancestors themselves.
  int number = 0;
  for (const QTreeWidgetItem* at = item; at; at = at->parent()) {
    const QTreeWidgetItem* parent = at->parent();
    const int index = parent ? parent->indexOfChild(const_cast<QTreeWidgetItem*>(at))
                             : tree.indexOfTopLevelItem(const_cast<QTreeWidgetItem*>(at));
    for (int i = 0; i < index; ++i) {
      const QTreeWidgetItem* sibling = parent ? parent->child(i) : tree.topLevelItem(i);
      number += 1 + countBelow(sibling);
    }
    if (parent) number += 1;
  }
  return number;
}

TreeItemKind treeItemKind(const QTreeWidgetItem* item) {
  return item ? static_cast<TreeItemKind>(item->data(0, kKindRole).toInt()) : NoItem;
}

// ------------------------------------------------------------------ MainWindow

// The tree shows what the file holds: its reads run in full, even after a cancelled command.
void MainWindow::reloadNameLists() {
  const SqliteDB::ProgramReads reads(state_.db);
  state_.tableNames = state_.db.listTables(true, false, false);
  state_.viewNames = state_.db.listTables(false, true, false);
  state_.tempTableNames = state_.db.listTables(true, false, true);
  state_.tempViewNames = state_.db.listTables(false, true, true);
}

void MainWindow::fillStructureTree() {
  const int selection = treeSelection();
  clearStructureTree();
  if (selection != -1) onTreeSelectionChanged();  // the removal leaves nothing selected
  const int filter = 组合框_显示内容->currentIndex();
  const auto shows = [filter](DisplayFilter only) {
    return filter == AllObjects || filter == only;
  };
  QTreeWidget& tree = *树型框1;
  tree.setUpdatesEnabled(false);
  if (shows(TablesOnly)) {
    QTreeWidgetItem* section = addSection(tree, QStringLiteral("表"), state_.tableNames,
                                          TablesSection, TablesSectionImage);
    const auto columns = [this] {
      const SqliteDB::ProgramReads reads(state_.db);
      return SqliteTable::columnNamesOf(state_.tableNames, state_.db);
    }();
    for (std::size_t i = 0; i < columns.size(); ++i) {
      QTreeWidgetItem* table =
          addItem(section, fromProgramText(state_.tableNames[i]), TableItem, ObjectImage);
      for (const std::string& column : columns[i])
        addItem(table, fromProgramText(column), ColumnItem, ObjectImage);
    }
    section->setExpanded(true);
  }
  const auto addObjects = [&](const QString& title, const std::vector<std::string>& names,
                              TreeItemKind kind) {
    QTreeWidgetItem* section = addSection(tree, title, names, OtherSection, OtherSectionImage);
    for (const std::string& name : names)
      addItem(section, fromProgramText(name), kind, ObjectImage);
    section->setExpanded(true);
  };
  if (shows(ViewsOnly)) addObjects(QStringLiteral("视图"), state_.viewNames, ViewItem);
  if (shows(TemporaryTablesOnly) && !state_.tempTableNames.empty())
    addObjects(QStringLiteral("临时表"), state_.tempTableNames, TableItem);
  if (shows(TemporaryViewsOnly) && !state_.tempViewNames.empty())
    addObjects(QStringLiteral("临时视图"), state_.tempViewNames, ViewItem);
  tree.setUpdatesEnabled(true);
  setTreeSelection(selection);
}

void MainWindow::reloadStructureTree() {
  reloadNameLists();
  fillStructureTree();
}

void MainWindow::onFilterChanged() {
  const auto work = beginWork(组合框_显示内容->currentText());
  fillStructureTree();
}

void MainWindow::onTreeSelectionChanged() {
  QTreeWidgetItem* item = 树型框1->currentItem();
  const TreeItemKind kind = treeItemKind(item);
  if (!item || kind < TableItem) {
    clearDataView();
    return;
  }
  showObject(toProgramText(item->text(0)), kind);
}

void MainWindow::refreshShownObject() { onTreeSelectionChanged(); }

void MainWindow::onTreeRightButton(const QPoint& globalPosition) {
  if (isTableSelected()) popUpTableMenu(globalPosition);
  if (isViewSelected()) prompts().popupMenu(*menu(QStringLiteral("视图")), globalPosition);
}

bool MainWindow::isTableSelected() const {
  return treeItemKind(树型框1->currentItem()) == TableItem;
}

bool MainWindow::isViewSelected() const { return treeItemKind(树型框1->currentItem()) == ViewItem; }

std::string MainWindow::selectedObjectName() const {
  const QTreeWidgetItem* item = 树型框1->currentItem();
  return item ? toProgramText(item->text(0)) : std::string();
}

int MainWindow::treeSelection() const { return treeItemNumber(*树型框1, 树型框1->currentItem()); }

void MainWindow::setTreeSelection(int number) {
  QTreeWidgetItem* item = treeItemAt(*树型框1, number);
  if (item == 树型框1->currentItem()) return;
  树型框1->setCurrentItem(item);
}

void MainWindow::clearStructureTree() {
  const QSignalBlocker quiet(树型框1);
  树型框1->clear();
  树型框1->setCurrentItem(nullptr);
}

}  // namespace tabulor
