// Files and a database in a temporary folder for the CSV import and export tests.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "sqlitedb/sqlite_dataset.h"
#include "sqlitedb/sqlite_db.h"
#include "support/temp_dir.h"

namespace tabulor::testing {

class TransferTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(db.open(folder.file("t.db"), true)); }

  std::string writeFile(const std::string& name, const std::string& bytes) {
    const std::string path = folder.file(name);
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  static std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  // The rows of a query, a row's values joined by '|'.
  std::vector<std::string> rows(const std::string& sql) {
    auto dataset = db.query("SELECT * FROM (" + sql + ")");
    EXPECT_TRUE(dataset->requery()) << db.errorText();
    const TextTable table = dataset->fetchAllText();
    std::vector<std::string> lines;
    for (int r = 0; r < table.rowCount(); ++r) {
      std::string line;
      for (int c = 0; c < table.columnCount(); ++c) line += (c ? "|" : "") + table.cell(r, c);
      lines.push_back(line);
    }
    return lines;
  }

  // One text from the database.
  std::string value(const std::string& sql) {
    const auto found = rows(sql);
    return found.empty() ? "<none>" : found.front();
  }

  TempDir folder;
  SqliteDB db;
};

}  // namespace tabulor::testing
