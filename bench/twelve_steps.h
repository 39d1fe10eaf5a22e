// The engine's documented procedure for changing a table's definition, as the shell runs it:
// what the benchmarks of 修改表 measure the program against.
#pragma once

#include <sqlite3.h>

#include <chrono>
#include <stdexcept>
#include <string>
#include <vector>

namespace tabulor::bench {

inline void exec(sqlite3* db, const std::string& sql) {
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
    throw std::runtime_error(sqlite3_errmsg(db));
}

// Changes table t of the file through the C API: foreign keys off, one transaction, the new
// table made by newTableSql (a CREATE TABLE new_t …) and filled by one INSERT … SELECT, the
// old one dropped, the new one renamed, its indexes and triggers made again, the foreign
// keys checked. Returns the seconds it took.
inline double twelveSteps(const std::string& file, const std::string& newTableSql) {
  sqlite3* db = nullptr;
  sqlite3_open(file.c_str(), &db);
  const auto start = std::chrono::steady_clock::now();
  exec(db, "PRAGMA foreign_keys=OFF; BEGIN");
  std::vector<std::string> companions;
  sqlite3_stmt* statement = nullptr;
  sqlite3_prepare_v2(db,
                     "SELECT sql FROM sqlite_schema WHERE tbl_name = 't' AND type IN "
                     "('index', 'trigger') AND sql IS NOT NULL",
                     -1, &statement, nullptr);
  while (sqlite3_step(statement) == SQLITE_ROW)
    companions.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
  sqlite3_finalize(statement);
  exec(db, newTableSql);
  exec(db, "INSERT INTO new_t SELECT * FROM t; DROP TABLE t; ALTER TABLE new_t RENAME TO t");
  for (const std::string& sql : companions) exec(db, sql);
  exec(db, "PRAGMA foreign_key_check; COMMIT; PRAGMA foreign_keys=ON");
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  sqlite3_close(db);
  return seconds;
}

}  // namespace tabulor::bench
