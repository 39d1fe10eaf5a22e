#include "sqlitedb/result_rows.h"

#include <sqlite3.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "sqlitedb/codepage.h"
#include "sqlitedb/sqlite_dataset.h"
#include "sqlitedb/sqlite_db.h"
#include "support/code_page_scope.h"
#include "support/temp_dir.h"

namespace tabulor {
namespace {

using testing::CodePageScope;
using testing::TempDir;

// The texts of row r, column c of a table of rows that spans many runs: short and empty
// cells, cells longer than one length byte can say, Chinese text, now and then a cut one.
std::string sampleText(int r, int c) {
  switch ((r + c) % 5) {
    case 0:
      return std::string();
    case 1:
      return std::to_string(r * 7 + c);
    case 2:
      return "名称" + std::to_string(r);
    case 3:
      return std::string(static_cast<std::size_t>(100 + r % 300), static_cast<char>('a' + c));
    default:
      return std::string(20000, 'z');
  }
}
bool sampleCut(int r, int c) { return (r + c) % 5 == 4; }

constexpr int kSampleRows = 1500;
constexpr int kSampleColumns = 3;

ResultRows sampleRows(std::size_t memoryBound) {
  ResultRows rows(kSampleColumns, memoryBound);
  for (int r = 0; r < kSampleRows; ++r)
    for (int c = 0; c < kSampleColumns; ++c) rows.addCell(sampleText(r, c), sampleCut(r, c));
  return rows;
}

TEST(ResultRowsTest, EveryCellReadsBackAsAddedInMemoryAndFromTheTemporaryDatabase) {
  struct Case {
    const char* what;
    std::size_t memoryBound;
    bool spilled;
  };
  const Case cases[] = {
      {"all in memory", std::size_t{1} << 30, false},
      {"all but nothing moved out", 0, true},
      {"the first runs in memory, the rest moved out", std::size_t{1} << 20, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const ResultRows rows = sampleRows(c.memoryBound);
    ASSERT_EQ(rows.rowCount(), kSampleRows);
    ASSERT_EQ(rows.columnCount(), kSampleColumns);
    EXPECT_EQ(rows.spilled(), c.spilled);
    // Backwards and forwards, so runs are read back in and out of the few kept at hand.
    for (int pass = 0; pass < 2; ++pass)
      for (int i = 0; i < kSampleRows; ++i) {
        const int r = pass == 0 ? kSampleRows - 1 - i : i;
        for (int col = 0; col < kSampleColumns; ++col) {
          ASSERT_EQ(rows.cell(r, col), sampleText(r, col)) << "row " << r << " column " << col;
          ASSERT_EQ(rows.isCut(r, col), sampleCut(r, col)) << "row " << r << " column " << col;
        }
      }
  }
}

TEST(ResultRowsTest, RowsMovedOutLeaveLittleInMemory) {
  const ResultRows kept = sampleRows(std::size_t{1} << 30);
  const ResultRows moved = sampleRows(std::size_t{1} << 20);
  EXPECT_GT(kept.heldBytes(), std::size_t{5} << 20);
  EXPECT_LT(moved.heldBytes(), std::size_t{2} << 20);
}

TEST(ResultRowsTest, OutsideTheRowsAndUnfinishedRowsReadEmpty) {
  ResultRows rows(2);
  rows.addCell("a");
  rows.addCell("b");
  rows.addCell("unfinished");
  EXPECT_EQ(rows.rowCount(), 1);
  EXPECT_EQ(rows.cell(0, 1), "b");
  for (const auto& [r, c] : std::vector<std::pair<int, int>>{{1, 0}, {-1, 0}, {0, 2}, {0, -1}}) {
    EXPECT_EQ(rows.cell(r, c), "");
    EXPECT_FALSE(rows.isCut(r, c));
  }
  EXPECT_TRUE(ResultRows().isEmpty());
  EXPECT_EQ(ResultRows().columnCount(), 0);
}

class FetchAllRowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(setProgramCodePage("UTF-8"));
    ASSERT_TRUE(db.open(dir.file("d.db"), true));
    ASSERT_TRUE(db.execute("CREATE TABLE t (a, b)"));
  }

  // Another program's write to the file, refused at once if anything holds a lock on it.
  bool anotherProgramWrites() {
    sqlite3* other = nullptr;
    const bool opened = sqlite3_open(dir.file("d.db").c_str(), &other) == SQLITE_OK;
    const bool wrote = opened && sqlite3_exec(other, "INSERT INTO t VALUES ('other', 'program')",
                                              nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(other);
    return wrote;
  }

  TempDir dir;
  SqliteDB db;
  SqliteDataset dataset;
};

// The rows read in one pass are those the three passes of fetchAllText give, cell for cell.
TEST_F(FetchAllRowsTest, GivesTheCellsAndCutsOfTheTextTable) {
  const std::string values =
      "SELECT 1 AS 编号, 'abc' AS 名称, NULL, '', 2.5, x'41420043', x'FF00',"
      " '汉字汉字汉字', '😀😀😀😀😀', cast(x'41FF4243444546' AS TEXT),"
      " cast(x'41424344FF' AS TEXT), hex(zeroblob(3000000)), 123456789";
  const std::string sql = values + " UNION ALL " + values;
  for (const char* page : {"UTF-8", "GBK"}) {
    CodePageScope scope(page);
    for (const std::size_t limit : {std::size_t{0}, std::size_t{4}}) {
      SCOPED_TRACE(std::string(page) + ", limit " + std::to_string(limit));
      ASSERT_TRUE(dataset.open(sql, db));
      const std::optional<ResultRows> rows = dataset.fetchAllRows(limit);
      ASSERT_TRUE(rows);
      ASSERT_TRUE(dataset.requery());
      const TextTable table = dataset.fetchAllText(true, limit);
      ASSERT_EQ(rows->rowCount(), table.rowCount());
      ASSERT_EQ(rows->columnCount(), table.columnCount());
      for (int r = 0; r < table.rowCount(); ++r)
        for (int c = 0; c < table.columnCount(); ++c) {
          EXPECT_EQ(rows->cell(r, c), table.cell(r, c)) << "row " << r << " column " << c;
          EXPECT_EQ(rows->isCut(r, c), table.isCut(r, c)) << "row " << r << " column " << c;
        }
    }
  }
}

TEST_F(FetchAllRowsTest, NoRowsGiveTheEmptyResultAndAFailedRunNone) {
  ASSERT_TRUE(dataset.open("SELECT * FROM t", db));
  const std::optional<ResultRows> none = dataset.fetchAllRows(0);
  ASSERT_TRUE(none);
  EXPECT_TRUE(none->isEmpty()) << "no header without rows";

  ASSERT_TRUE(dataset.open("SELECT abs(-9223372036854775807 - 1)", db));
  EXPECT_FALSE(dataset.fetchAllRows(0));
  EXPECT_EQ(db.errorText(), "integer overflow");

  ASSERT_TRUE(dataset.close());
  EXPECT_FALSE(dataset.fetchAllRows(0));
}

TEST_F(FetchAllRowsTest, AnErrorAfterRowsKeepsTheRowsReadAndAnInterruptIsNoResult) {
  ASSERT_TRUE(db.execute("INSERT INTO t VALUES (1, 'x'), (2, 'y'), (10, 'z')"));
  const std::string sql =
      "SELECT CASE WHEN a < 10 THEN a ELSE abs(-9223372036854775807 - 1) END FROM t ORDER BY rowid";
  ASSERT_TRUE(dataset.open(sql, db));
  const std::optional<ResultRows> rows = dataset.fetchAllRows(0);
  ASSERT_TRUE(rows);
  EXPECT_EQ(rows->rowCount(), 3) << "the header and two rows";

  // Stopped by the user after its first rows.
  ASSERT_TRUE(dataset.open(
      "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000000)"
      " SELECT i FROM n",
      db));
  int calls = 0;
  db.setProgressHandler([&calls] { return ++calls < 3; });
  EXPECT_FALSE(dataset.fetchAllRows(0));
  EXPECT_EQ(db.errorText(), "interrupted");
  db.setProgressHandler({});
  EXPECT_EQ(dataset.fetchAllRows(0)->rowCount(), 1000001);
}

TEST_F(FetchAllRowsTest, AChangingStatementRunsOnceAndItsRowsAreThoseOfThatRun) {
  ASSERT_TRUE(dataset.open("INSERT INTO t VALUES (1, 'one'), (2, 'two') RETURNING a, b", db));
  const std::optional<ResultRows> rows = dataset.fetchAllRows(0);
  ASSERT_TRUE(rows);
  ASSERT_EQ(rows->rowCount(), 3);
  EXPECT_EQ(rows->cell(0, 1), "b");
  EXPECT_EQ(rows->cell(2, 0), "2");
  EXPECT_EQ(rows->cell(2, 1), "two");
  SqliteDataset count;
  ASSERT_TRUE(count.open("SELECT count(*) FROM t", db));
  ASSERT_TRUE(count.requery());
  EXPECT_EQ(count.fetchAllText().cell(0, 0), "2");
}

TEST_F(FetchAllRowsTest, NoLockStaysOnTheFileWhileTheRowsAreKept) {
  ASSERT_TRUE(
      db.execute("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 5000)"
                 " INSERT INTO t SELECT i, hex(randomblob(500)) FROM n"));
  for (const std::size_t memoryBound : {ResultRows::kDefaultMemoryBound, std::size_t{0}}) {
    SCOPED_TRACE(memoryBound);
    ASSERT_TRUE(dataset.open("SELECT a, b FROM t ORDER BY a", db));
    const std::optional<ResultRows> rows = dataset.fetchAllRows(0, memoryBound);
    ASSERT_TRUE(rows);
    EXPECT_EQ(rows->spilled(), memoryBound == 0);
    EXPECT_TRUE(anotherProgramWrites());
    EXPECT_EQ(rows->cell(5000, 0), "5000");
    EXPECT_EQ(rows->cell(5000, 1).size(), 1000u);
  }
}

}  // namespace
}  // namespace tabulor
