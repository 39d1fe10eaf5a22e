#include <QComboBox>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTest>
#include <QTreeWidget>

#include "app/icons.h"
#include "app/main_window_fixture.h"
#include "app/structure_tree.h"
#include "platform/egrid.h"

namespace tabulor::testing {
namespace {

using Kind = ScriptedPrompts::Kind;

class StructureTree : public MainWindowTest {
 protected:
  void openShop() {
    const QString db =
        makeDatabase("shop.db",
                     "CREATE TABLE goods(id INTEGER PRIMARY KEY AUTOINCREMENT, name TEXT);"
                     "CREATE TABLE 客户(编号, 姓名);"
                     "CREATE VIEW v_goods AS SELECT name FROM goods;");
    start({db});
    ASSERT_TRUE(state.db.execute("CREATE TEMP TABLE scratch(x); CREATE TEMP VIEW tv AS SELECT 1;"));
    window->reloadStructureTree();
  }
  void setFilter(int entry) { ui().组合框_显示内容->setCurrentIndex(entry); }
  int kindOf(int number) const { return treeItemKind(treeItemAt(*ui().树型框1, number)); }
};

TEST_F(StructureTree, ShowsAllSectionsWithColumnsUnderMainTables) {
  openShop();
  EXPECT_EQ(
      treeLines(),
      QStringList({QStringLiteral("表 (3)"), QStringLiteral("  goods"), QStringLiteral("    id"),
                   QStringLiteral("    name"), QStringLiteral("  sqlite_sequence"),
                   QStringLiteral("    name"), QStringLiteral("    seq"), QStringLiteral("  客户"),
                   QStringLiteral("    编号"), QStringLiteral("    姓名"),
                   QStringLiteral("视图 (1)"), QStringLiteral("  v_goods"),
                   QStringLiteral("临时表 (1)"), QStringLiteral("  scratch"),
                   QStringLiteral("临时视图 (1)"), QStringLiteral("  tv")}));
  EXPECT_EQ(kindOf(0), TablesSection);
  EXPECT_EQ(kindOf(1), TableItem);
  EXPECT_EQ(kindOf(2), ColumnItem);
  EXPECT_EQ(kindOf(10), OtherSection);
  EXPECT_EQ(kindOf(11), ViewItem);
  EXPECT_EQ(kindOf(13), TableItem);
  EXPECT_EQ(kindOf(15), ViewItem);
  EXPECT_EQ(treeItemCount(*ui().树型框1), 16);
  EXPECT_TRUE(ui().树型框1->topLevelItem(0)->isExpanded());
  EXPECT_FALSE(ui().树型框1->topLevelItem(0)->child(0)->isExpanded());
}

TEST_F(StructureTree, EachFilterShowsItsSections) {
  openShop();
  const std::vector<std::tuple<int, QString, int>> cases = {
      {1, QStringLiteral("表 (3)"), 10},
      {2, QStringLiteral("视图 (1)"), 2},
      {3, QStringLiteral("临时表 (1)"), 2},
      {4, QStringLiteral("临时视图 (1)"), 2},
  };
  for (const auto& [entry, section, items] : cases) {
    setFilter(entry);
    ASSERT_EQ(ui().树型框1->topLevelItemCount(), 1) << entry;
    EXPECT_EQ(ui().树型框1->topLevelItem(0)->text(0), section) << entry;
    EXPECT_EQ(treeItemCount(*ui().树型框1), items) << entry;
  }
}

TEST_F(StructureTree, TemporarySectionsAreLeftOutWhenEmptyButTablesAndViewsNever) {
  start({makeDatabase("empty.db", "")});
  EXPECT_EQ(treeLines(), QStringList({QStringLiteral("表 (0)"), QStringLiteral("视图 (0)")}));
  EXPECT_TRUE(window->action(Command::DatabaseInfo)->isVisible());
  setFilter(3);
  EXPECT_TRUE(treeLines().isEmpty());
  setFilter(4);
  EXPECT_TRUE(treeLines().isEmpty());
}

TEST_F(StructureTree, BeforeAnyDatabaseTheFilterShowsEmptySections) {
  start();
  setFilter(1);
  setFilter(0);
  EXPECT_EQ(treeLines(), QStringList({QStringLiteral("表 (0)"), QStringLiteral("视图 (0)")}));
}

TEST_F(StructureTree, SelectingATableShowsItAndAColumnClearsTheView) {
  openShop();
  window->setTreeSelection(1);
  EXPECT_EQ(ui().编辑框_表名称->text(), QStringLiteral("goods"));
  EXPECT_TRUE(window->isTableSelected());
  EXPECT_FALSE(window->isViewSelected());
  EXPECT_EQ(logLines().last(), QStringLiteral("打开表：goods"));
  window->setTreeSelection(2);
  EXPECT_EQ(ui().高级表格1->cellText(0, 0), QStringLiteral("无数据"));
  EXPECT_FALSE(window->isTableSelected());
  window->setTreeSelection(13);  // the temporary table
  EXPECT_EQ(logLines().last(), QStringLiteral("打开表：scratch"));
  window->setTreeSelection(11);
  EXPECT_TRUE(window->isViewSelected());
  EXPECT_EQ(logLines().last(), QStringLiteral("打开视图：v_goods"));
}

TEST_F(StructureTree, ARefillSelectsTheItemNowAtTheSameNumber) {
  openShop();
  window->setTreeSelection(7);  // 客户
  ASSERT_TRUE(state.db.execute("DROP TABLE goods"));
  window->reloadStructureTree();
  // goods and its two columns are gone: number 7 is now the views section.
  EXPECT_EQ(window->treeSelection(), 7);
  EXPECT_EQ(ui().树型框1->currentItem()->text(0), QStringLiteral("视图 (1)"));
  EXPECT_EQ(ui().高级表格1->cellText(0, 0), QStringLiteral("无数据"));
}

TEST_F(StructureTree, AfterCloseTheFilterListsTheLastNamesWhichCannotBeOpened) {
  openShop();
  window->toolbarButton(Command::CloseDatabaseButton)->trigger();
  EXPECT_TRUE(treeLines().isEmpty());
  setFilter(2);
  EXPECT_EQ(treeLines(), QStringList({QStringLiteral("视图 (1)"), QStringLiteral("  v_goods")}));
  window->setTreeSelection(1);
  EXPECT_EQ(prompts.messages().last(), QStringLiteral("打开视图失败：v_goods"));
}

TEST_F(StructureTree, RightButtonPopsUpTheTableOrViewMenu) {
  openShop();
  window->setTreeSelection(1);
  window->onTreeRightButton(QPoint(10, 10));
  window->setTreeSelection(11);
  window->onTreeRightButton(QPoint(10, 10));
  window->setTreeSelection(2);
  window->onTreeRightButton(QPoint(10, 10));
  window->setTreeSelection(0);
  window->onTreeRightButton(QPoint(10, 10));
  const auto menus = prompts.records(Kind::Menu);
  ASSERT_EQ(menus.size(), 2u);
  EXPECT_EQ(menus[0].text, QStringLiteral("菜单_表"));
  EXPECT_EQ(menus[1].text, QStringLiteral("菜单_视图"));
}

// A right click on the picture or the text of the table 客户 (item 7) selects it and
// pops up the table menu; on the blank rest of its row nothing happens.
struct RightClickSpot {
  const char* where;
  int x;  // from the left edge of the item's cell; negative: from its right edge
  bool selects;
};

void PrintTo(const RightClickSpot& spot, std::ostream* out) { *out << spot.where; }

class TreeRightClick : public StructureTree,
                       public ::testing::WithParamInterface<RightClickSpot> {};

TEST_P(TreeRightClick, CountsOnlyOnThePictureOrTheText) {
  openShop();
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  QTreeWidget& tree = *ui().树型框1;
  window->setTreeSelection(1);
  prompts.clear();
  const QRect cell = tree.visualItemRect(treeItemAt(tree, 7));
  const int x = GetParam().x >= 0 ? cell.left() + GetParam().x : cell.right() + GetParam().x;
  const QPoint at(x, cell.center().y());
  // The button, then the context-menu request the desktop sends with it.
  QTest::mouseClick(tree.viewport(), Qt::RightButton, {}, at);
  QContextMenuEvent request(QContextMenuEvent::Mouse, at, tree.viewport()->mapToGlobal(at));
  QCoreApplication::sendEvent(tree.viewport(), &request);
  EXPECT_EQ(window->treeSelection(), GetParam().selects ? 7 : 1);
  EXPECT_EQ(ui().编辑框_表名称->text(),
            GetParam().selects ? QStringLiteral("客户") : QStringLiteral("goods"));
  EXPECT_EQ(prompts.records(Kind::Menu).size(), GetParam().selects ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Spots, TreeRightClick,
                         ::testing::Values(RightClickSpot{"picture", 8, true},
                                           RightClickSpot{"text", 30, true},
                                           RightClickSpot{"blank rest of the row", -4, false}));

TEST(TreePictures, ASelectedItemShowsTheSamePicture) {
  for (const TreeImage entry : {ObjectImage, TablesSectionImage, OtherSectionImage}) {
    const QIcon icon = treeIcon(entry);
    EXPECT_EQ(icon.pixmap(QSize(16, 15), QIcon::Selected).toImage(),
              icon.pixmap(QSize(16, 15), QIcon::Normal).toImage())
        << entry;
  }
}

TEST_F(StructureTree, ItemNumbersRunDepthFirstOverCollapsedItems) {
  openShop();
  QTreeWidget& tree = *ui().树型框1;
  for (int n = 0; n < treeItemCount(tree); ++n)
    EXPECT_EQ(treeItemNumber(tree, treeItemAt(tree, n)), n);
  EXPECT_EQ(treeItemAt(tree, 16), nullptr);
  EXPECT_EQ(treeItemAt(tree, -1), nullptr);
  EXPECT_EQ(treeItemNumber(tree, nullptr), -1);
}

}  // namespace
}  // namespace tabulor::testing
