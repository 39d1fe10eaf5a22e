#include "console/core/sql_templates.h"

#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "console/core/console_run.h"
#include "sqlitedb/codepage.h"
#include "sqlitedb/sqlite_db.h"
#include "support/code_page_scope.h"
#include "support/temp_dir.h"

namespace tabulor {
namespace {

using testing::CodePageScope;
using testing::TempDir;
using Pieces = std::vector<std::string>;
using namespace std::string_literals;

struct SplitCase {
  const char* codePage;
  std::string text;
  Pieces pieces;
};

TEST(SplitTemplateText, CutsAtEveryCrLfOutsideCharacters) {
  const SplitCase cases[] = {
      {"UTF-8", "", {}},
      {"UTF-8", "a", {"a"}},
      {"UTF-8", "a\r\nb", {"a", "b"}},
      {"UTF-8", "a\r\nb\r\n", {"a", "b"}},
      {"UTF-8", "a\r\n\r\nb", {"a", "", "b"}},
      {"UTF-8", "\r\n", {""}},
      {"UTF-8", "\r\n\r\n", {"", ""}},
      {"UTF-8", "a\nb\rc", {"a\nb\rc"}},
      {"UTF-8", "a\r\r\nb", {"a\r", "b"}},
      {"UTF-8", "a\r\nb\0c\r\nd"s, {"a", "b"}},
      {"UTF-8", "\0a"s, {}},
      {"UTF-8", "模板一\r\n模板二\r\n", {"模板一", "模板二"}},
      {"UTF-8", "\xE4\r\nx", {"\xE4", "x"}},
      {"GBK", "\xC4\xA3\xB0\xE5\r\n\xD2\xBB", {"\xC4\xA3\xB0\xE5", "\xD2\xBB"}},
      // The lead byte takes the CR as its trail byte, so no separator is seen there.
      {"GBK", "\x81\r\nx\r\ny", {"\x81\r\nx", "y"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.codePage << " case " << (&c - cases));
    CodePageScope page(c.codePage);
    EXPECT_EQ(splitTemplateText(c.text), c.pieces);
  }
}

void writeFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

TEST(ReadTemplateFile, ReadsTheFileUpToItsFirstZeroByte) {
  TempDir dir;
  writeFile(dir.at("SQL模板.txt"), "select 1\r\n\r\nvacuum\r\n\0junk\r\n"s);
  EXPECT_EQ(readTemplateFile(dir.at("SQL模板.txt")), (Pieces{"select 1", "", "vacuum"}));
}

TEST(ReadTemplateFile, MissingOrEmptyFileGivesNoTemplates) {
  TempDir dir;
  EXPECT_TRUE(readTemplateFile(dir.file("missing.txt")).empty());
  writeFile(dir.file("empty.txt"), "");
  EXPECT_TRUE(readTemplateFile(dir.file("empty.txt")).empty());
}

TEST(ReadTextUpToZero, ImportsSqlAsProgramTextAndReportsUnreadableFiles) {
  TempDir dir;
  writeFile(dir.file("q.sql"), "select 1;\r\n\0select 2;"s);
  EXPECT_EQ(readTextUpToZero(dir.file("q.sql")), "select 1;\r\n");
  EXPECT_EQ(readTextUpToZero(dir.file("missing.sql")), std::nullopt);
}

// The shipped list is only useful when every template runs as written on a database
// that has the tables and columns it names.
TEST(DefaultTemplateFile, EveryTemplateRunsOnAMatchingDatabase) {
  const Pieces templates = readTemplateFile(pathFromUtf8(TABULOR_SQL_TEMPLATE_FILE));
  ASSERT_GE(templates.size(), 12u);
  TempDir dir;
  SqliteDB db;
  ASSERT_TRUE(db.open(dir.file("t.db"), true));
  ASSERT_TRUE(
      db.execute("create table 表名 (编号 integer primary key, 字段名, 字段1, 字段2);"
                 "create table 表1 (编号); create table 表2 (编号);"));
  for (const std::string& sql : templates) {
    SCOPED_TRACE(sql);
    EXPECT_FALSE(sql.empty());
    EXPECT_FALSE(runConsoleExecute(sql, db).failed()) << db.errorText();
  }
}

}  // namespace
}  // namespace tabulor
