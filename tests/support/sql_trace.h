#pragma once

#include <sqlite3.h>

#include <string>
#include <vector>

namespace tabulor::testing {

// Records the text of every statement any connection opened from now on runs,
// so tests can check the exact SQL the program sends.
class SqlTrace {
 public:
  SqlTrace() {
    statements().clear();
    sqlite3_auto_extension(reinterpret_cast<void (*)()>(&install));
  }
  ~SqlTrace() { sqlite3_cancel_auto_extension(reinterpret_cast<void (*)()>(&install)); }
  SqlTrace(const SqlTrace&) = delete;
  SqlTrace& operator=(const SqlTrace&) = delete;

  static std::vector<std::string>& statements() {
    static std::vector<std::string> recorded;
    return recorded;
  }
  bool contains(const std::string& sql) const {
    for (const auto& statement : statements())
      if (statement == sql) return true;
    return false;
  }
  void clear() { statements().clear(); }

 private:
  static int record(unsigned, void*, void*, void* text) {
    statements().emplace_back(static_cast<const char*>(text));
    return 0;
  }
  static int install(sqlite3* db, char**, const sqlite3_api_routines*) {
    sqlite3_trace_v2(db, SQLITE_TRACE_STMT, &record, nullptr);
    return SQLITE_OK;
  }
};

}  // namespace tabulor::testing
