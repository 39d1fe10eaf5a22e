#include "transfer/core/csv_export.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "transfer/core/csv_import.h"
#include "transfer_fixture.h"

namespace tabulor::testing {
namespace {

using namespace tabulor::transfer;
using Status = TransferResult::Status;

const TransferProgress kGoOn = [](std::int64_t, std::int64_t) { return true; };

class CsvExport : public TransferTest {
 protected:
  TransferResult exportTo(const std::string& path, const std::string& sql,
                          FileEncoding encoding = FileEncoding::Utf8,
                          const TransferProgress& progress = kGoOn) {
    CsvExportRequest request;
    request.sql = sql;
    request.file = path;
    request.encoding = encoding;
    return exportCsv(db, request, 0, progress);
  }

  // The names in the folder besides the database: no temporary file may stay behind.
  std::vector<std::string> otherFiles() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
      if (entry.path().filename() != "t.db") names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
};

TEST_F(CsvExport, WritesEachStorageClassAsTheEngineHoldsIt) {
  ASSERT_TRUE(db.execute(
      "CREATE TABLE v(\"a,b\", c); INSERT INTO v VALUES"
      "(42, 0.1), (-9223372036854775808, 1.0), (1e20, 0.30000000000000004),"
      "('say \"hi\"', 'x,y'), ('two\r\nlines', ''), (NULL, x'00FF10'), ('张三', ' 007 ')"));
  const std::string path = folder.file("out.csv");
  const auto result = exportTo(path, wholeTableQuery("v"));
  ASSERT_EQ(result.status, Status::Done) << result.fault.reason;
  EXPECT_EQ(result.rows, 7);
  EXPECT_EQ(readFile(path),
            "\"a,b\",c\r\n"
            "42,0.1\r\n"
            "-9223372036854775808,1.0\r\n"
            "1e+20,0.30000000000000004\r\n"
            "\"say \"\"hi\"\"\",\"x,y\"\r\n"
            "\"two\r\nlines\",\"\"\r\n"
            ",00FF10\r\n"
            "张三, 007 \r\n");
}

TEST_F(CsvExport, RealsReadBackEqual) {
  for (const double value : {0.1, 1.0 / 3, 1e-300, -2.5e300, 123456789.123, 5e-324,
                             std::numeric_limits<double>::max(), 1e15, 1e16})
    EXPECT_EQ(std::strtod(realText(value).c_str(), nullptr), value) << realText(value);
  EXPECT_EQ(realText(2.0), "2.0");
  EXPECT_EQ(realText(-INFINITY), "-Inf");
}

TEST_F(CsvExport, EncodingsAndTheirMarks) {
  ASSERT_TRUE(db.execute("CREATE TABLE v(名称); INSERT INTO v VALUES('张三')"));
  const std::pair<FileEncoding, std::string> cases[] = {
      {FileEncoding::Utf8WithBom, "\xEF\xBB\xBF名称\r\n张三\r\n"},
      {FileEncoding::Utf8, "名称\r\n张三\r\n"},
      {FileEncoding::Gb18030, "\xC3\xFB\xB3\xC6\r\n\xD5\xC5\xC8\xFD\r\n"},
  };
  for (const auto& [encoding, bytes] : cases) {
    const std::string path = folder.file("out.csv");
    ASSERT_EQ(exportTo(path, wholeTableQuery("v"), encoding).status, Status::Done);
    EXPECT_EQ(readFile(path), bytes);
  }
}

TEST_F(CsvExport, TabSeparatedWithoutHeader) {
  ASSERT_TRUE(db.execute("CREATE TABLE v(a, b); INSERT INTO v VALUES('x,y', 'p\tq')"));
  CsvExportRequest request{wholeTableQuery("v"), folder.file("out.tsv"), FileEncoding::Utf8, '\t',
                           false};
  ASSERT_EQ(exportCsv(db, request, 1, kGoOn).status, Status::Done);
  EXPECT_EQ(readFile(request.file), "x,y\t\"p\tq\"\r\n");
}

// A failure or 取消 leaves no partial file, and a file that was there as it was.
TEST_F(CsvExport, StoppedExportsLeaveTheOldFileAlone) {
  ASSERT_TRUE(db.execute(
      "CREATE TABLE v(x); WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
      "WHERE i < 5000) INSERT INTO v SELECT i FROM n"));
  const std::string path = writeFile("out.csv", "old contents");
  struct Case {
    const char* name;
    std::string sql;
    TransferProgress progress;
    Status status;
  };
  const Case cases[] = {
      {"FailsHalfWay",
       "SELECT CASE WHEN x = 3000 THEN abs(-9223372036854775807 - 1) ELSE x END FROM v", kGoOn,
       Status::Failed},
      {"CancelledHalfWay", "SELECT x FROM v",
       [](std::int64_t done, std::int64_t) { return done < 2048; }, Status::Cancelled},
      {"CancelledAtTheEnd", "SELECT x FROM v",
       [](std::int64_t done, std::int64_t) { return done < 5000; }, Status::Cancelled},
      {"CancelledInALongStep", "SELECT x FROM v ORDER BY random()",
       [](std::int64_t, std::int64_t) { return false; }, Status::Cancelled},
      {"RefusesAStatementThatWrites", "DELETE FROM v", kGoOn, Status::Failed},
  };
  for (const Case& c : cases) {
    const auto result = exportTo(path, c.sql, FileEncoding::Utf8, c.progress);
    EXPECT_EQ(result.status, c.status) << c.name;
    EXPECT_EQ(readFile(path), "old contents") << c.name;
    EXPECT_EQ(otherFiles(), std::vector<std::string>{"out.csv"}) << c.name;
  }
  EXPECT_EQ(value("SELECT count(*) FROM v"), "5000");
}

// Export a table, import the file into a new table: the same rows and values. A blob comes
// back as its hexadecimal text.
TEST_F(CsvExport, RoundTripKeepsRowsAndValues) {
  ASSERT_TRUE(
      db.execute("CREATE TABLE src(i INTEGER, r REAL, t TEXT, b BLOB);"
                 "INSERT INTO src VALUES"
                 "(1, 0.1, '张三', x'00FF'),"
                 "(-9223372036854775808, 1.0, '', NULL),"
                 "(NULL, 0.30000000000000004, NULL, x''),"
                 "(9223372036854775807, -2.5e300, '007', x'7F'),"
                 "(0, NULL, '\"引号\", 逗号\r\n换行', x'E5BCA0'),"
                 "(42, 1e-300, ' 前后空格 ', NULL)"));
  for (const FileEncoding encoding : {FileEncoding::Utf8WithBom, FileEncoding::Gb18030}) {
    const std::string path = folder.file("round.csv");
    ASSERT_EQ(exportTo(path, wholeTableQuery("src"), encoding).status, Status::Done);
    CsvImportRequest request;
    request.file = path;
    request.format = {detectEncoding(readFileStart(path)), ',', true};
    request.table = "back";
    request.emptyAsNull = true;
    const auto imported = importCsv(db, request, kGoOn);
    ASSERT_EQ(imported.status, Status::Done) << imported.fault.reason;
    EXPECT_EQ(imported.rows, 6);
    EXPECT_EQ(value("SELECT count(*) FROM src JOIN back ON src.rowid = back.rowid "
                    "WHERE src.i IS back.i AND src.r IS back.r AND src.t IS back.t "
                    "AND (src.b IS NULL AND back.b IS NULL OR hex(src.b) IS back.b)"),
              "6");
    EXPECT_EQ(rows("SELECT typeof(i), typeof(t) FROM back WHERE rowid = 1"),
              std::vector<std::string>{"integer|text"});
    ASSERT_TRUE(db.execute("DROP TABLE back"));
  }
}

}  // namespace
}  // namespace tabulor::testing
