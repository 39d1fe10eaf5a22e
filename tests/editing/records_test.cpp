#include "editing/core/records.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "sqlitedb/sqlite_dataset.h"
#include "sqlitedb/sqlite_db.h"
#include "sqlitedb/sqlite_table.h"
#include "sqlitedb/text_scanning.h"
#include "support/temp_dir.h"

namespace tabulor {
namespace {

TEST(RecordSql, EmptyRecordHasOneNullPerColumn) {
  EXPECT_EQ(emptyRecordSql("t", 3), "insert into t values(null,null,null)");
  EXPECT_EQ(emptyRecordSql("t", 1), "insert into t values(null)");
  EXPECT_EQ(emptyRecordSql("t", 0), "insert into t values()");
}

TEST(RecordSql, DateTextLeavesOutTrailingZeroParts) {
  const struct {
    int hour, minute, second;
    const char* text;
  } cases[] = {
      {14, 5, 9, "2024年5月3日14时5分9秒"}, {14, 0, 0, "2024年5月3日14时"},
      {14, 5, 0, "2024年5月3日14时5分"},    {0, 0, 0, "2024年5月3日"},
      {0, 0, 9, "2024年5月3日0时0分9秒"},   {0, 5, 0, "2024年5月3日0时5分"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(dateTimeText(2024, 5, 3, c.hour, c.minute, c.second), programTextFromUtf8(c.text))
        << c.text;
}

TEST(RecordSql, AccountInsertNamesTheEighteenColumnsAndDoublesQuotes) {
  EXPECT_EQ(accountInsertSql("O'Brien", "D"),
            "insert into TBL_ACCOUNT(FCH_ACCOUNT,FCH_PASSWORD,FCH_USERNAME,FCH_CREATEDATE,"
            "FCH_UPDATEDATE,FCH_DELETED,FCH_PERMISSION,FCH_GAMEGOLD,FCH_SSNO,FCH_BIRTHDAY,"
            "FCH_PHONE,FCH_MOBILEPHONE,FCH_EMAIL,FCH_QUIZ1,FCH_ANSWER1,FCH_QUIZ2,FCH_ANSWER2,"
            "FCH_SERIALNUM) values('O''Brien','480267','Zhang San','D','0','0','0','0','0',"
            "'1970/1/1','0','0','zhangsan@example.com','1','11','111','1111','0')");
}

using Result = Outcome::Result;

AskYes answering(bool yes) {
  return [yes](const std::string&, int) { return yes; };
}

// A table of three records and one that refuses a record of NULLs.
class RecordOutcomes : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(db.open(dir.file("records.db"), true));
    ASSERT_TRUE(db.execute(
        "CREATE TABLE t(a, b); INSERT INTO t VALUES (1, 'one'), (2, 'two'), (3, 'three');"
        "CREATE TABLE strict(id INTEGER PRIMARY KEY, name TEXT NOT NULL);"));
    ASSERT_TRUE(table.open("t", db));
  }

  std::string scalar(const std::string& sql) {
    SqliteDataset dataset;
    EXPECT_TRUE(dataset.open(sql, db) && dataset.requery());
    const TextTable rows = dataset.fetchAllText();
    return rows.isEmpty() ? std::string() : rows.cell(0, 0);
  }

  testing::TempDir dir;
  SqliteDB db;
  SqliteTable table;
};

// Each way the command can end, and what it leaves for the window.
TEST_F(RecordOutcomes, DeleteRecordEndsDoneFailedOrCancelled) {
  const struct {
    const char* what;
    bool tableSelected;
    bool tableOpen;
    bool yes;
    Result result;
    const char* notice;  // nullptr: none
    const char* left;    // the rows of t afterwards
  } cases[] = {
      {"a view selected", false, true, true, Result::Failed, "只有表才可以被删除记录！", "1,2,3"},
      {"no table open", true, false, true, Result::Failed, "表尚未打开。", "1,2,3"},
      {"answered no", true, true, false, Result::Cancelled, nullptr, "1,2,3"},
      {"answered yes", true, true, true, Result::Done, "已成功删除当前记录。", "1,3"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    if (!c.tableOpen) table.close();
    const Outcome outcome = deleteRecord(db, table, c.tableSelected, 2, answering(c.yes));
    EXPECT_EQ(outcome.result, c.result);
    EXPECT_EQ(outcome.notice.has_value(), c.notice != nullptr);
    if (c.notice) {
      EXPECT_EQ(outcome.notice->text, programTextFromUtf8(c.notice));
    }
    EXPECT_EQ(outcome.refreshShownObject, c.result == Result::Done);
    EXPECT_EQ(scalar("SELECT group_concat(a) FROM t"), c.left);
    if (!c.tableOpen) {
      ASSERT_TRUE(table.open("t", db));
    }
  }
}

TEST_F(RecordOutcomes, InsertEmptyRecordRefusedLeavesTheShownTableAlone) {
  Outcome outcome = insertEmptyRecord(db, table);
  EXPECT_EQ(outcome.result, Result::Done);
  EXPECT_TRUE(outcome.refreshShownObject && outcome.noticeLast);
  EXPECT_EQ(scalar("SELECT count(*) FROM t WHERE a IS NULL AND b IS NULL"), "1");

  SqliteTable strict;
  ASSERT_TRUE(strict.open("strict", db));
  outcome = insertEmptyRecord(db, strict);
  EXPECT_EQ(outcome.result, Result::Failed);
  EXPECT_FALSE(outcome.refreshShownObject);
  EXPECT_EQ(scalar("SELECT count(*) FROM strict"), "0");
}

// The value is made after the record is ready; a write that moves the row id or a refused
// one is told apart from a plain write.
TEST_F(RecordOutcomes, WriteFieldValueSaysWhetherTheGridStillPairsWithTheCursor) {
  ASSERT_TRUE(
      db.execute("CREATE TABLE keyed(id INTEGER PRIMARY KEY, v); "
                 "INSERT INTO keyed VALUES (1, 'a'), (2, 'b');"));
  SqliteTable keyed;
  ASSERT_TRUE(keyed.open("keyed", db));
  const auto value = [](FieldValue v) { return [v] { return std::optional<FieldValue>(v); }; };
  const struct {
    const char* what;
    std::int32_t record;
    std::int32_t field;
    std::function<std::optional<FieldValue>()> make;
    Result result;
    bool inPlace;
    const char* rows;
  } cases[] = {
      {"a plain value", 1, 2, value(std::string("x")), Result::Done, false, "1:x,2:b"},
      {"a new row id", 2, 1, value(std::int64_t{7}), Result::Done, true, "1:x,7:b"},
      {"a clash on the key", 1, 1, value(std::int64_t{7}), Result::Failed, false, "1:x,7:b"},
      {"no value made", 1, 2, [] { return std::optional<FieldValue>(); }, Result::Failed, false,
       "1:x,7:b"},
      {"no such record", 9, 2, value(std::string("y")), Result::Failed, false, "1:x,7:b"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Outcome outcome = writeFieldValue(keyed, c.record, c.field, c.make);
    EXPECT_EQ(outcome.result, c.result);
    ASSERT_TRUE(outcome.notice);
    EXPECT_EQ(
        outcome.notice->text,
        programTextFromUtf8(c.result == Result::Done ? "已成功写入字段值！" : "写字段值失败！"));
    EXPECT_EQ(outcome.refreshShownObjectInPlace, c.inPlace);
    EXPECT_EQ(scalar("SELECT group_concat(id || ':' || v) FROM (SELECT * FROM keyed ORDER BY id)"),
              c.rows);
  }
}

// The first insert creates the file; the same account again breaks its UNIQUE constraint,
// and the box gives the engine's words under its own title.
TEST_F(RecordOutcomes, AccountRecordCreatesItsFileAndReportsTheEnginesRefusal) {
  const std::string path = dir.file("IDDB.DB");
  {
    SqliteDB accounts;
    ASSERT_TRUE(accounts.open(path, true));
    ASSERT_TRUE(accounts.execute(
        "CREATE TABLE TBL_ACCOUNT(FCH_ACCOUNT TEXT UNIQUE NOT NULL, FCH_PASSWORD, FCH_USERNAME, "
        "FCH_CREATEDATE, FCH_UPDATEDATE, FCH_DELETED, FCH_PERMISSION, FCH_GAMEGOLD, FCH_SSNO, "
        "FCH_BIRTHDAY, FCH_PHONE, FCH_MOBILEPHONE, FCH_EMAIL, FCH_QUIZ1, FCH_ANSWER1, "
        "FCH_QUIZ2, FCH_ANSWER2, FCH_SERIALNUM)"));
  }
  const Outcome first = insertAccountRecord(path, "zhang", "D");
  EXPECT_EQ(first.result, Result::Done);
  EXPECT_EQ(first.notice, (Notice{programTextFromUtf8("添加成功"), "", MessageFlags::Ok}));

  const Outcome again = insertAccountRecord(path, "zhang", "D");
  EXPECT_EQ(again.result, Result::Failed);
  EXPECT_EQ(again.notice, (Notice{programTextFromUtf8("添加失败：") +
                                      "UNIQUE constraint failed: TBL_ACCOUNT.FCH_ACCOUNT",
                                  programTextFromUtf8("添加失败"), MessageFlags::ErrorIcon}));
}

}  // namespace
}  // namespace tabulor
