// Reading, writing and changing database files behind the program's back.
#pragma once

#include <sqlite3.h>

#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

namespace tabulor::testing {

inline std::string fileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// Runs SQL on a file through the engine directly, independent of the code under test.
inline void runSql(const std::string& path, const std::string& sql) {
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK)
      << sqlite3_errmsg(db);
  sqlite3_close(db);
}

}  // namespace tabulor::testing
