#include "transfer/core/csv_import.h"

#include <gtest/gtest.h>

#include "schema/core/table_definition.h"
#include "sqlitedb/codepage.h"
#include "sqlitedb/text_scanning.h"
#include "support/code_page_scope.h"
#include "transfer_fixture.h"

namespace tabulor::testing {
namespace {

using namespace tabulor::transfer;
using Status = TransferResult::Status;

const TransferProgress kGoOn = [](std::int64_t, std::int64_t) { return true; };

class CsvImport : public TransferTest {
 protected:
  CsvImportRequest request(const std::string& bytes, const std::string& table = "t") {
    CsvImportRequest r;
    r.file = writeFile("in.csv", bytes);
    r.table = table;
    return r;
  }

  TransferResult import(const CsvImportRequest& r, const TransferProgress& progress = kGoOn) {
    return importCsv(db, r, progress);
  }

  // The designer's type names of a table's columns, as 修改表 reads them.
  std::vector<std::string> designerTypes(const std::string& table) {
    std::vector<std::string> names;
    const auto stored = schema::readTableDefinition(db.tableSql(table));
    if (stored)
      for (const auto& column : stored->columns)
        names.push_back(column.name + " " + column.typeName);
    return names;
  }
};

TEST_F(CsvImport, NewTableTakesTheDesignersTypesFromTheData) {
  const auto result =
      import(request("编号,名称,价格,邮编,备注\r\n1,苹果,2.5,010020,\r\n2,\"梨, "
                     "大\",3,100000,\"\"\r\n-3,桃,1e2,200000,x"));
  ASSERT_EQ(result.status, Status::Done) << result.fault.reason;
  EXPECT_EQ(result.rows, 3);
  EXPECT_EQ(designerTypes("t"),
            (std::vector<std::string>{"编号 整数型", "名称 文本型", "价格 小数型", "邮编 文本型",
                                      "备注 文本型"}));
  EXPECT_EQ(rows("SELECT typeof(编号), 名称, typeof(价格), 价格, 邮编, quote(备注) FROM t"),
            (std::vector<std::string>{"integer|苹果|real|2.5|010020|''",
                                      "integer|梨, 大|integer|3|100000|''",
                                      "integer|桃|integer|100|200000|'x'"}));
}

// A catalogue record the engine never writes (an index whose type reads "Index") hides the
// index from the engine's own lookups: nothing is written into such a file.
TEST_F(CsvImport, ADamagedFileIsRefusedAndLeftAsItWas) {
  ASSERT_TRUE(db.execute("CREATE TABLE old (a); CREATE INDEX old_a ON old (a)"));
  db.close();
  const std::string file = folder.file("t.db");
  std::string bytes = readFile(file);
  const std::size_t at = bytes.find("indexold_aold");
  ASSERT_NE(at, std::string::npos);
  bytes[at] = 'I';
  writeFile("t.db", bytes);
  ASSERT_TRUE(db.open(file));

  for (const bool newTable : {true, false}) {
    CsvImportRequest r = request("a\n1\n", newTable ? "t" : "old");
    r.newTable = newTable;
    const auto result = import(r);
    EXPECT_EQ(result.status, Status::Failed);
    EXPECT_TRUE(result.fault.reason.starts_with(
        programTextFromUtf8("数据库文件已损坏，为避免损坏扩大，未做任何修改！")))
        << result.fault.reason;
    EXPECT_EQ(readFile(file), bytes);
  }
}

TEST_F(CsvImport, LeadingZerosMakeATextColumnAndStay) {
  ASSERT_EQ(import(request("code\n007\n12\n")).status, Status::Done);
  EXPECT_EQ(rows("SELECT typeof(code) || ':' || code FROM t"),
            (std::vector<std::string>{"text:007", "text:12"}));
}

TEST_F(CsvImport, EmptyFieldsAreEmptyTextOrNullAsChosen) {
  for (const bool emptyAsNull : {false, true}) {
    CsvImportRequest r = request("a,b,c\n1,,\"\"\n2\n", emptyAsNull ? "n" : "e");
    r.emptyAsNull = emptyAsNull;
    ASSERT_EQ(import(r).status, Status::Done);
    // A quoted "" is always text; a row shorter than the header gets NULL.
    EXPECT_EQ(rows("SELECT quote(b), quote(c) FROM " + r.table),
              (std::vector<std::string>{emptyAsNull ? "NULL|''" : "''|''", "NULL|NULL"}))
        << emptyAsNull;
  }
}

TEST_F(CsvImport, WithoutAHeaderColumnsAreNumbered) {
  CsvImportRequest r = request("1,x\n2,y\n");
  r.format.headerRow = false;
  ASSERT_EQ(import(r).status, Status::Done);
  EXPECT_EQ(rows("SELECT 字段1, 字段2 FROM t"), (std::vector<std::string>{"1|x", "2|y"}));
}

TEST_F(CsvImport, ExistingTableMatchesColumnsByNameOrByPosition) {
  ASSERT_TRUE(db.execute("CREATE TABLE p(id INTEGER, name TEXT, note TEXT DEFAULT 'd')"));
  CsvImportRequest byName = request("NAME,Id\n张三,1\n", "p");
  byName.newTable = false;
  ASSERT_EQ(import(byName).status, Status::Done);
  CsvImportRequest byPlace = request("7,李四\n", "p");
  byPlace.newTable = false;
  byPlace.matchByName = false;
  byPlace.format.headerRow = false;
  ASSERT_EQ(import(byPlace).status, Status::Done);
  EXPECT_EQ(rows("SELECT typeof(id), id, name, note FROM p"),
            (std::vector<std::string>{"integer|1|张三|d", "integer|7|李四|d"}));

  CsvImportRequest unknown = request("id,age\n1,2\n", "p");
  unknown.newTable = false;
  const auto result = import(unknown);
  EXPECT_EQ(result.status, Status::Failed);
  EXPECT_EQ(result.fault.line, 1);
  EXPECT_NE(result.fault.reason.find("age"), std::string::npos);
}

// Whatever stops an import, nothing of it remains: an existing table keeps exactly its
// rows, a new one does not exist; the line and the reason are given.
TEST_F(CsvImport, AFaultHalfWayLeavesNothing) {
  ASSERT_TRUE(
      db.execute("CREATE TABLE u(k INTEGER UNIQUE, v TEXT); INSERT INTO u VALUES(2, 'old')"));
  struct Case {
    const char* name;
    std::string bytes;
    bool newTable;
    std::int64_t line;
  };
  const Case cases[] = {
      {"LongerRowInANewTable", "k,v\n1,a\n3,b,extra\n", true, 3},
      {"LongerRowInAnExistingTable", "k,v\n1,a\n3,b\n4,c,extra\n", false, 4},
      {"RefusedByAConstraint", "k,v\n1,a\n\"multi\nline\",b\n2,dup\n", false, 5},
      {"UnclosedQuote", "k,v\n1,a\n5,\"b\n", false, 3},
  };
  for (const Case& c : cases) {
    CsvImportRequest r = request(c.bytes, c.newTable ? "fresh" : "u");
    r.newTable = c.newTable;
    const auto result = import(r);
    EXPECT_EQ(result.status, Status::Failed) << c.name;
    EXPECT_EQ(result.fault.line, c.line) << c.name;
    EXPECT_FALSE(result.fault.reason.empty()) << c.name;
    EXPECT_FALSE(db.tableExists("fresh")) << c.name;
    EXPECT_EQ(rows("SELECT k, v FROM u"), std::vector<std::string>{"2|old"}) << c.name;
    EXPECT_FALSE(db.inTransaction()) << c.name;
  }
}

TEST_F(CsvImport, CancelledLeavesNothing) {
  ASSERT_TRUE(db.execute("CREATE TABLE u(k, v); INSERT INTO u VALUES(0, 'old')"));
  std::string big = "k,v\n";
  for (int i = 1; i <= 5000; ++i) big += std::to_string(i) + ",x\n";
  // At the first check, half-way, and at the very end, before the commit.
  const std::function<bool(std::int64_t, std::int64_t)> stops[] = {
      [](std::int64_t, std::int64_t) { return true; },
      [](std::int64_t done, std::int64_t total) { return done >= total / 2; },
      [](std::int64_t done, std::int64_t total) { return done == total; },
  };
  for (const bool newTable : {true, false}) {
    for (const auto& stop : stops) {
      CsvImportRequest r = request(big, newTable ? "fresh" : "u");
      r.newTable = newTable;
      const auto result =
          import(r, [&](std::int64_t done, std::int64_t total) { return !stop(done, total); });
      EXPECT_EQ(result.status, Status::Cancelled) << newTable;
      EXPECT_FALSE(db.tableExists("fresh"));
      EXPECT_EQ(value("SELECT count(*) FROM u"), "1");
      EXPECT_FALSE(db.inTransaction());
    }
  }
}

TEST_F(CsvImport, ProgressCountsTheBytesOfTheFile) {
  std::string big = "k\n";
  for (int i = 0; i < 300000; ++i) big += "1234567\n";
  std::int64_t last = 0;
  std::int64_t total = 0;
  bool forward = true;
  const auto result = import(request(big), [&](std::int64_t done, std::int64_t of) {
    forward = forward && done >= last;
    last = done;
    total = of;
    return true;
  });
  ASSERT_EQ(result.status, Status::Done);
  EXPECT_TRUE(forward);
  EXPECT_EQ(total, 2 * static_cast<std::int64_t>(big.size()));  // a new table reads it twice
  EXPECT_EQ(last, total);
}

// Inside the user's transaction the import is a savepoint: the user's own changes and the
// transaction stay, whatever happens to the import.
TEST_F(CsvImport, InsideTheUsersTransactionOnlyTheImportIsUndone) {
  ASSERT_TRUE(db.execute("CREATE TABLE u(k INTEGER UNIQUE)"));
  ASSERT_TRUE(db.execute("BEGIN; INSERT INTO u VALUES(1)"));
  CsvImportRequest failing = request("k\n2\n1\n", "u");
  failing.newTable = false;
  EXPECT_EQ(import(failing).status, Status::Failed);
  EXPECT_TRUE(db.inTransaction());
  EXPECT_EQ(rows("SELECT k FROM u"), std::vector<std::string>{"1"});
  ASSERT_EQ(import(request("a\nx\n", "fresh")).status, Status::Done);
  EXPECT_TRUE(db.inTransaction());
  ASSERT_TRUE(db.rollbackTransaction());
  EXPECT_FALSE(db.tableExists("fresh"));
  EXPECT_EQ(value("SELECT count(*) FROM u"), "0");
}

TEST_F(CsvImport, ANewTableNeedsANameNoTableHas) {
  ASSERT_TRUE(db.execute("CREATE TABLE t(a); INSERT INTO t VALUES(1)"));
  for (const char* name : {"t", "T", ""}) {
    const auto result = import(request("a\n2\n", name));
    EXPECT_EQ(result.status, Status::Failed) << name;
    EXPECT_FALSE(result.fault.reason.empty()) << name;
  }
  EXPECT_EQ(rows("SELECT a FROM t"), std::vector<std::string>{"1"});
  EXPECT_EQ(value("SELECT count(*) FROM sqlite_master"), "1");
}

// A spreadsheet application on a Chinese system saves GBK; under the Chinese code page the
// names and values arrive as the same characters.
TEST_F(CsvImport, ChineseCodePageFileUnderTheChineseCodePage) {
  const std::string file = writeFile("gbk.csv",
                                     "\xD0\xD5\xC3\xFB,\xC4\xEA\xC1\xE4\r\n"
                                     "\xD5\xC5\xC8\xFD,30\r\n\xB1\xB1\xBE\xA9,\r\n");
  CodePageScope gbk("GBK");
  CsvImportRequest r;
  r.file = file;
  r.format = {detectEncoding(readFileStart(file)), ',', true};
  r.table = "\xC8\xCB";  // 人
  r.emptyAsNull = true;
  ASSERT_EQ(import(r).status, Status::Done);
  setProgramCodePage("UTF-8");
  EXPECT_EQ(rows("SELECT 姓名, quote(年龄) FROM 人"),
            (std::vector<std::string>{"张三|30", "北京|NULL"}));
}

TEST_F(CsvImport, PreviewShowsRowsAsStoredAndRaggedRows) {
  CsvImportRequest r = request("a,b\n1,\n2\n3,4,5\n\"x\ny\",\"\"\n");
  r.emptyAsNull = true;
  const CsvPreview preview = previewCsv(r, 3);
  EXPECT_FALSE(preview.fault);
  EXPECT_EQ(preview.columns, (std::vector<std::string>{"a", "b"}));
  ASSERT_EQ(preview.rows.size(), 3u);
  EXPECT_EQ(preview.rows[0][1], std::nullopt);
  EXPECT_EQ(preview.rows[1][1], std::nullopt);
  EXPECT_EQ(preview.rows[2][1], "4");
  ASSERT_EQ(preview.notes.size(), 2u);
  EXPECT_NE(preview.notes[0].find("第 3 行"), std::string::npos);
  EXPECT_NE(preview.notes[0].find("NULL"), std::string::npos);
  EXPECT_NE(preview.notes[1].find("第 4 行"), std::string::npos);
  EXPECT_NE(preview.notes[1].find("拒绝"), std::string::npos);
}

TEST(TableNames, ComeFromTheFileName) {
  EXPECT_EQ(tableNameForFile(pathFromUtf8("/data/销售 2024.csv")), "销售 2024");
  EXPECT_EQ(tableNameForFile("/data/x.tar.csv"), "x.tar");
}

}  // namespace
}  // namespace tabulor::testing
