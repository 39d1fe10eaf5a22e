#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "app/data_view.h"
#include "app/main_window_fixture.h"
#include "app/structure_tree.h"
#include "platform/egrid.h"
#include "sqlitedb/sqlite_dataset.h"
#include "sqlitedb/text_table.h"

namespace tabulor::testing {
namespace {

// n rows of (id, name, price), ids 1..n.
std::string rowsSql(const std::string& table, int n) {
  return "CREATE TABLE " + table + "(id INTEGER PRIMARY KEY, name TEXT, price REAL);" +
         "WITH RECURSIVE k(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM k WHERE i < " +
         std::to_string(n) + ") INSERT INTO " + table +
         " SELECT i, 'item' || i, i * 1.5 FROM k WHERE " + std::to_string(n) + " > 0;";
}

class DataView : public MainWindowTest {
 protected:
  void openWith(const std::string& sql) {
    start({makeDatabase("data.db", sql)});
    prompts.clear();
  }
  QString summary() const { return ui().编辑框_表基本信息->text(); }
};

TEST_F(DataView, ATableShowsDefinitionGridSummaryAndLogLine) {
  openWith(rowsSql("goods", 2500));
  window->showObject("goods", TableItem);
  EXPECT_EQ(ui().编辑框_表或视图定义->toPlainText(),
            QStringLiteral("CREATE TABLE goods(id INTEGER PRIMARY KEY, name TEXT, price REAL)"));
  EXPECT_EQ(ui().编辑框_表名称->text(), QStringLiteral("goods"));
  EXPECT_EQ(summary(),
            QStringLiteral("共2500条记录，显示前1000条，耗时0毫秒。可直接修改文本字段。"));
  EXPECT_EQ(logLines().last(), QStringLiteral("打开表：goods"));
  EGrid& grid = *ui().高级表格1;
  EXPECT_EQ(grid.rowCount(), 1001);
  EXPECT_EQ(grid.columnCount(), 4);
  EXPECT_EQ(grid.fixedRowCount(), 1);
  EXPECT_EQ(grid.fixedColumnCount(), 1);
  const QStringList header = {grid.cellText(0, 0), grid.cellText(0, 1), grid.cellText(0, 2),
                              grid.cellText(0, 3)};
  EXPECT_EQ(header, QStringList({QStringLiteral("序号"), QStringLiteral("id"),
                                 QStringLiteral("name"), QStringLiteral("price")}));
  EXPECT_EQ(grid.cellText(1, 0), QStringLiteral("1"));
  EXPECT_EQ(grid.cellText(1000, 0), QStringLiteral("1000"));
  EXPECT_EQ(grid.cellText(1000, 2), QStringLiteral("item1000"));
  EXPECT_EQ(grid.cellText(2, 3), QStringLiteral("3.0"));
  EXPECT_EQ(ui().组合框_记录序号->count(), 1000);
  EXPECT_EQ(ui().组合框_记录序号->currentIndex(), -1);
  EXPECT_EQ(ui().组合框_字段名称->count(), 3);
  EXPECT_EQ(ui().组合框_字段名称->itemText(1), QStringLiteral("name"));
  EXPECT_EQ(ui().组合框_字段名称->currentIndex(), -1);
  EXPECT_FALSE(ui().分组框_字段读写->isHidden());
  EXPECT_TRUE(state.table.isOpen());
  EXPECT_TRUE(prompts.records().empty());
}

TEST_F(DataView, TheLimitPartDependsOnTheCount) {
  openWith(rowsSql("t1000", 1000) + rowsSql("t999", 999));
  window->showObject("t1000", TableItem);
  EXPECT_EQ(summary(),
            QStringLiteral("共1000条记录，显示前1000条，耗时0毫秒。可直接修改文本字段。"));
  EXPECT_EQ(ui().组合框_记录序号->count(), 1000);
  window->showObject("t999", TableItem);
  EXPECT_EQ(summary(), QStringLiteral("共999条记录，已全部显示，耗时0毫秒。可直接修改文本字段。"));
  EXPECT_EQ(ui().组合框_记录序号->count(), 999);
  EXPECT_EQ(ui().高级表格1->rowCount(), 1000);
}

TEST_F(DataView, AViewHasNoEditHintAndHidesTheFieldPanel) {
  openWith(rowsSql("goods", 10) + "CREATE VIEW cheap AS SELECT name, price FROM goods;");
  window->showObject("cheap", ViewItem);
  EXPECT_EQ(summary(), QStringLiteral("共10条记录，已全部显示，耗时0毫秒。"));
  EXPECT_TRUE(ui().分组框_字段读写->isHidden());
  EXPECT_EQ(ui().高级表格1->cellText(0, 2), QStringLiteral("price"));
  EXPECT_EQ(ui().高级表格1->rowCount(), 11);
  EXPECT_EQ(logLines().last(), QStringLiteral("打开视图：cheap"));
}

TEST_F(DataView, AnEmptyTableShowsOnlyTheNumberHeader) {
  openWith(rowsSql("empty", 0));
  window->showObject("empty", TableItem);
  EXPECT_EQ(summary(), QStringLiteral("共0条记录，已全部显示，耗时0毫秒。可直接修改文本字段。"));
  EGrid& grid = *ui().高级表格1;
  EXPECT_EQ(grid.rowCount(), 1);
  EXPECT_EQ(grid.columnCount(), 2);
  EXPECT_EQ(grid.cellText(0, 0), QStringLiteral("序号"));
  EXPECT_EQ(grid.cellText(0, 1), QString());
  EXPECT_EQ(ui().组合框_记录序号->count(), 0);
}

TEST_F(DataView, ANameThatNeedsQuotingCannotBeShown) {
  openWith(rowsSql("goods", 3) + "CREATE TABLE \"my table\"(a);");
  window->showObject("goods", TableItem);
  window->showObject("my table", TableItem);
  ASSERT_EQ(prompts.records().size(), 1u);
  EXPECT_EQ(prompts.records()[0].text, QStringLiteral("打开表失败：my table"));
  EXPECT_EQ(prompts.records()[0].flags, 0x10);
  EXPECT_EQ(logLines().last(), QStringLiteral("[×]打开表失败！my table"));
  // Only the definition changed; the grid and the boxes keep the last object.
  EXPECT_EQ(ui().编辑框_表或视图定义->toPlainText(),
            QStringLiteral("CREATE TABLE \"my table\"(a)"));
  EXPECT_EQ(ui().编辑框_表名称->text(), QStringLiteral("goods"));
  EXPECT_EQ(ui().高级表格1->rowCount(), 4);
  EXPECT_EQ(ui().组合框_记录序号->count(), 3);
  EXPECT_FALSE(state.table.isOpen());
}

TEST_F(DataView, AnEmptyNameDoesNothing) {
  openWith(rowsSql("goods", 3));
  const QString before = window->logText();
  window->showObject("", TableItem);
  EXPECT_EQ(window->logText(), before);
  EXPECT_TRUE(prompts.records().empty());
}

// A clock that moves 7 ms on every reading.
class SteppingEnvironment : public TestEnvironment {
 public:
  using TestEnvironment::TestEnvironment;
  std::int64_t tickCount() override { return ticks_ += 7; }

 private:
  std::int64_t ticks_ = 0;
};

TEST_F(DataView, TheTimeIsTheTickDifference) {
  openWith(rowsSql("goods", 5));
  SteppingEnvironment stepping(programFolder());
  setEnvironment(&stepping);
  window->showObject("goods", TableItem);
  setEnvironment(&environment);
  EXPECT_EQ(summary(), QStringLiteral("共5条记录，已全部显示，耗时7毫秒。可直接修改文本字段。"));
}

TEST_F(DataView, ShowingTheSameTableTwiceLogsTwice) {
  openWith(rowsSql("goods", 2));
  window->showObject("goods", TableItem);
  window->showObject("goods", TableItem);
  EXPECT_EQ(logLines().mid(logLines().size() - 2),
            QStringList({QStringLiteral("打开表：goods"), QStringLiteral("打开表：goods")}));
}

TEST_F(DataView, ClearingLeavesNoDataButKeepsTheNameAndTheCursor) {
  openWith(rowsSql("goods", 2));
  window->showObject("goods", TableItem);
  window->clearDataView();
  EGrid& grid = *ui().高级表格1;
  EXPECT_EQ(grid.rowCount(), 1);
  EXPECT_EQ(grid.columnCount(), 1);
  EXPECT_EQ(grid.cellText(0, 0), QStringLiteral("无数据"));
  EXPECT_EQ(grid.fixedRowCount(), 1);
  EXPECT_EQ(summary(), QString());
  EXPECT_EQ(ui().编辑框_表或视图定义->toPlainText(), QString());
  EXPECT_EQ(ui().组合框_记录序号->count(), 0);
  EXPECT_EQ(ui().组合框_字段名称->count(), 0);
  EXPECT_TRUE(ui().分组框_字段读写->isHidden());
  EXPECT_EQ(ui().编辑框_表名称->text(), QStringLiteral("goods"));
  EXPECT_TRUE(state.table.isOpen());
}

TEST(ShowTextTable, FlagsDecideTheHeaderRowAndTheNumberColumn) {
  TextTable table(3, 2);
  table.cell(0, 0) = "a";
  table.cell(0, 1) = "b";
  table.cell(1, 0) = "1";
  table.cell(2, 1) = "z";
  struct Case {
    bool header, numbers;
    int columns, fixedRows, fixedColumns;
    QStringList firstColumn;
  };
  const std::vector<Case> cases = {
      {true, true, 3, 1, 1, {QStringLiteral("序号"), QStringLiteral("1"), QStringLiteral("2")}},
      {false, true, 3, 0, 1, {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}},
      {true, false, 2, 1, 0, {QStringLiteral("a"), QStringLiteral("1"), QString()}},
      {false, false, 2, 0, 0, {QStringLiteral("a"), QStringLiteral("1"), QString()}},
  };
  for (const auto& c : cases) {
    EGrid grid;
    showTextTable(grid, table, c.header, c.numbers);
    EXPECT_EQ(grid.rowCount(), 3);
    EXPECT_EQ(grid.columnCount(), c.columns);
    EXPECT_EQ(grid.fixedRowCount(), c.fixedRows);
    EXPECT_EQ(grid.fixedColumnCount(), c.fixedColumns);
    EXPECT_EQ(QStringList({grid.cellText(0, 0), grid.cellText(1, 0), grid.cellText(2, 0)}),
              c.firstColumn);
    EXPECT_EQ(grid.cellText(2, c.columns - 1), QStringLiteral("z"));
  }
}

TEST(ShowTextTable, AnEmptyTableGivesOneCellAndReplacesWhatWasThere) {
  EGrid grid;
  TextTable big(4, 4);
  showTextTable(grid, big, true, true);
  showTextTable(grid, TextTable(), false, false);
  EXPECT_EQ(grid.rowCount(), 1);
  EXPECT_EQ(grid.columnCount(), 1);
  EXPECT_EQ(grid.cellText(0, 0), QString());
  EXPECT_EQ(grid.fixedRowCount(), 0);
}

// Every cell as the grid shows it, and whether an editor opens there.
struct ShownCell {
  QString text;
  bool editable;
  bool operator==(const ShownCell&) const = default;
};

std::vector<ShownCell> shownCells(const EGrid& grid) {
  std::vector<ShownCell> cells;
  const EGridModel& model = *grid.gridModel();
  for (int r = 0; r < grid.rowCount(); ++r)
    for (int c = 0; c < grid.columnCount(); ++c) {
      const bool inside = r >= model.shownFixedRows() && c >= model.shownFixedColumns();
      const QModelIndex index =
          inside ? model.index(r - model.shownFixedRows(), c - model.shownFixedColumns())
                 : QModelIndex();
      cells.push_back({grid.cellText(r, c), inside && (model.flags(index) & Qt::ItemIsEditable)});
    }
  return cells;
}

// A query's rows, kept compactly (in memory or moved to a temporary database), fill the
// grid as the same rows read into a table of texts do.
TEST_F(DataView, QueryRowsFillTheGridAsATableOfTextsDoes) {
  openWith(
      "CREATE TABLE t (a, b);"
      "INSERT INTO t VALUES (1, '名称'), (NULL, ''), (2.5, x'41420043'), (x'FF00', '😀'),"
      " (hex(zeroblob(4000)), cast(x'41FF42' AS TEXT));"
      "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000)"
      " INSERT INTO t SELECT i, '说明文字' || hex(randomblob(600)) FROM n;");
  const std::string sql = "SELECT a, b AS 说明 FROM t ORDER BY rowid";
  SqliteDataset dataset;
  ASSERT_TRUE(dataset.open(sql, state.db));
  ASSERT_TRUE(dataset.requery());
  EGrid before;
  showTextTable(before, dataset.fetchAllText(true, kShownCellCharacters), true, true);
  const std::vector<ShownCell> expected = shownCells(before);
  ASSERT_FALSE(expected[5 * 3 + 1].editable) << "the cut cell";
  for (const std::size_t memoryBound : {ResultRows::kDefaultMemoryBound, std::size_t{0}}) {
    SCOPED_TRACE(memoryBound);
    std::optional<ResultRows> rows = dataset.fetchAllRows(kShownCellCharacters, memoryBound);
    ASSERT_TRUE(rows);
    EXPECT_EQ(rows->spilled(), memoryBound == 0);
    EGrid grid;
    showResultRows(grid, std::move(*rows));
    EXPECT_EQ(grid.fixedRowCount(), 1);
    EXPECT_EQ(grid.fixedColumnCount(), 1);
    EXPECT_EQ(shownCells(grid), expected);
  }
}

}  // namespace
}  // namespace tabulor::testing
