// Cell contents and names through SqliteTable on a real file: text the engine must store
// exactly or refuse, unquoted names, and a large blob.
#include <sqlite3.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "reliability_files.h"
#include "sqlitedb/codepage.h"
#include "sqlitedb/sqlite_db.h"
#include "sqlitedb/sqlite_table.h"
#include "support/temp_dir.h"

namespace tabulor {
namespace {

namespace fs = std::filesystem;
using testing::fileBytes;
using testing::runSql;
using Strings = std::vector<std::string>;

class BadContent : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(setProgramCodePage("UTF-8")); }

  std::string storedHex(const std::string& sql) {
    sqlite3* db = nullptr;
    sqlite3_open(path_.c_str(), &db);
    sqlite3_stmt* statement = nullptr;
    std::string hex;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW) {
      const auto* text = sqlite3_column_text(statement, 0);
      hex = text ? reinterpret_cast<const char*>(text) : "NULL";
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return hex;
  }

  testing::TempDir dir_;
  const std::string path_ = dir_.file("content.db");
};

struct TextCase {
  const char* name;
  std::string written;
  bool posts;
  const char* storedHex;  // the cell's bytes afterwards
};

TEST_F(BadContent, TextIsStoredExactlyOrRefusedLeavingTheCellAlone) {
  const std::vector<TextCase> cases = {
      {"four-byte UTF-8", "\xF0\x9F\x98\x80\xF0\xA0\x80\x80", true, "F09F9880F0A08080"},
      {"invalid byte", "a\xFF\xFE", false, "6F6C64"},
      {"encoded surrogate pair", "\xED\xA0\xBD\xED\xB8\x80", false, "6F6C64"},
      {"overlong slash", "\xC0\xAF", false, "6F6C64"},
      {"cut-off sequence", "\xE4\xBD", false, "6F6C64"},
  };
  for (const TextCase& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove(path_);
    runSql(path_, "CREATE TABLE t (txt TEXT); INSERT INTO t VALUES ('old');");
    const std::string before = fileBytes(path_);
    SqliteDB db;
    ASSERT_TRUE(db.open(path_));
    SqliteTable cursor;
    ASSERT_TRUE(cursor.open("t", db));
    ASSERT_TRUE(cursor.goTo(1) && cursor.beginEdit());
    ASSERT_TRUE(cursor.setField("txt", c.written));
    EXPECT_EQ(cursor.post(), c.posts);
    EXPECT_EQ(storedHex("SELECT hex(txt) FROM t"), c.storedHex);
    if (c.posts) {
      FieldValue back = std::string();
      ASSERT_TRUE(cursor.goTo(1) && cursor.readField("txt", back));
      EXPECT_EQ(std::get<std::string>(back), c.written);
    } else {
      EXPECT_TRUE(fileBytes(path_) == before) << "a refused write changed the file";
    }
  }
}

TEST_F(BadContent, AnInvalidUtf8CellReadsAsEmptyTextAndIntactBytes) {
  runSql(path_, "CREATE TABLE t (txt TEXT); INSERT INTO t VALUES (CAST(x'41FF42' AS TEXT));");
  const std::string before = fileBytes(path_);
  SqliteDB db;
  ASSERT_TRUE(db.open(path_));
  SqliteTable cursor;
  ASSERT_TRUE(cursor.open("t", db) && cursor.goTo(1));
  FieldValue text = std::string("unset");
  ASSERT_TRUE(cursor.readField("txt", text));
  EXPECT_EQ(std::get<std::string>(text), "");
  FieldValue bytes = Bytes();
  ASSERT_TRUE(cursor.readField("txt", bytes));
  EXPECT_EQ(std::get<Bytes>(bytes), (Bytes{0x41, 0xFF, 0x42}));
  db.close();
  EXPECT_TRUE(fileBytes(path_) == before);
}

// Names go into the statements unquoted: a name that needs quotes is given with them.
TEST_F(BadContent, NamesThatNeedQuotingWorkOnlyWhenGivenQuoted) {
  runSql(path_,
         "CREATE TABLE \"order list\" (\"group\" TEXT, plain TEXT);"
         "INSERT INTO \"order list\" VALUES ('g', 'p');");
  const std::string before = fileBytes(path_);
  SqliteDB db;
  ASSERT_TRUE(db.open(path_));
  EXPECT_EQ(db.listTables(true, true, false), Strings{"order list"});
  SqliteTable cursor;
  EXPECT_FALSE(cursor.open("order list", db));
  EXPECT_EQ(db.errorText(), "near \"order\": syntax error");

  ASSERT_TRUE(cursor.open("\"order list\"", db));
  EXPECT_EQ(cursor.fieldNames(), (Strings{"group", "plain"}));
  ASSERT_TRUE(cursor.goTo(1));
  FieldValue value = std::string();
  ASSERT_TRUE(cursor.readField("plain", value));
  EXPECT_EQ(std::get<std::string>(value), "p");
  EXPECT_FALSE(cursor.readField("group", value));
  EXPECT_EQ(db.errorText(), "near \"group\": syntax error");
  ASSERT_TRUE(cursor.beginEdit() && cursor.setField("group", std::string("changed")));
  EXPECT_FALSE(cursor.post());
  EXPECT_EQ(db.errorText(), "near \"group\": syntax error");
  db.close();
  EXPECT_TRUE(fileBytes(path_) == before);
}

TEST_F(BadContent, A50MegabyteBlobIsWrittenAndReadBackWhole) {
  runSql(path_, "CREATE TABLE t (id INTEGER PRIMARY KEY, data BLOB); INSERT INTO t VALUES (1, 0);");
  Bytes blob(50u * 1024 * 1024);
  std::mt19937 random(11);
  for (auto& byte : blob) byte = static_cast<unsigned char>(random());
  {
    SqliteDB db;
    ASSERT_TRUE(db.open(path_));
    SqliteTable cursor;
    ASSERT_TRUE(cursor.open("t", db) && cursor.goTo(1) && cursor.beginEdit());
    ASSERT_TRUE(cursor.setField("data", blob));
    ASSERT_TRUE(cursor.post()) << db.errorText();
  }
  SqliteDB db;
  ASSERT_TRUE(db.open(path_));
  SqliteTable cursor;
  ASSERT_TRUE(cursor.open("t", db) && cursor.goTo(1));
  FieldValue back = Bytes();
  ASSERT_TRUE(cursor.readField("data", back));
  EXPECT_TRUE(std::get<Bytes>(back) == blob);
}

}  // namespace
}  // namespace tabulor
