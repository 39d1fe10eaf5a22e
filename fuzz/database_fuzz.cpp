// libFuzzer target: a whole database file, opened and shown as the window does it.
// The input is written to a scratch file and then read through the access layer the
// way opening and selecting objects reads it: the catalogue queries, each object's
// stored definition and the designer's reading of it, a cursor on each object with a
// read of its first record, the first 1000 rows as the data view fetches them, and a
// backup copy. Bit 0 of the user version (header byte 63, which the engine never
// checks) picks the program code page: clear UTF-8, set GBK.
#include <sqlite3.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include "fuzz/code_page.h"
#include "schema/core/table_definition.h"
#include "sqlitedb/sqlite_dataset.h"
#include "sqlitedb/sqlite_db.h"
#include "sqlitedb/sqlite_table.h"

namespace {

namespace fs = std::filesystem;
using tabulor::fuzz::check;

constexpr std::size_t kUserVersionLowByte = 63;
constexpr int kDisplayLimit = 1000;
// The fuzzer looks for memory faults, not slow files: a statement that runs longer
// than this many engine steps is interrupted (a crafted view can count forever).
constexpr int kStepBudget = 200'000;

int interruptLongStatement(void*) { return 1; }

int installStepBudget(sqlite3* db, char**, const sqlite3_api_routines*) {
  sqlite3_progress_handler(db, kStepBudget, &interruptLongStatement, nullptr);
  return SQLITE_OK;
}

// One scratch file per process (libFuzzer workers run side by side).
const fs::path& scratchFile() {
  static const fs::path path =
      fs::temp_directory_path() / ("tabulor-fuzz-database-" + std::to_string(getpid()) + ".db");
  return path;
}

void removeWithCompanions(const fs::path& file) {
  std::error_code ignored;
  for (const char* suffix : {"", "-journal", "-wal", "-shm"})
    fs::remove(file.string() + suffix, ignored);
}

bool writeFile(const fs::path& file, const std::uint8_t* data, std::size_t size) {
  std::FILE* out = std::fopen(file.c_str(), "wb");
  if (!out) return false;
  const bool written = std::fwrite(data, 1, size, out) == size;
  return std::fclose(out) == 0 && written;
}

void setCodePage(const std::uint8_t* data, std::size_t size) {
  const std::uint8_t page =
      size > kUserVersionLowByte ? static_cast<std::uint8_t>(data[kUserVersionLowByte] & 1) : 0;
  tabulor::fuzz::takeCodePage(&page, 1);
}

// What selecting an object in the tree reads (the grid's rows as the data view asks).
void showObject(tabulor::SqliteDB& db, const std::string& name) {
  const std::string definition = db.tableSql(name);
  tabulor::schema::readTableDefinition(definition);
  tabulor::SqliteTable cursor;
  if (!cursor.open(name, db)) return;
  const auto dataset =
      db.query("select * from " + name + " limit " + std::to_string(kDisplayLimit));
  dataset->requery();
  const tabulor::TextTable rows = dataset->fetchAllText(true, tabulor::kShownCellCharacters);
  check(rows.isEmpty() || rows.rowCount() <= kDisplayLimit + 1);
  if (cursor.goTo(1)) {
    tabulor::FieldValue text = std::string();
    cursor.readField(1, text);
    tabulor::FieldValue bytes = tabulor::Bytes();
    cursor.readField(cursor.fieldCount(), bytes);
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  sqlite3_auto_extension(reinterpret_cast<void (*)()>(&installStepBudget));
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  setCodePage(data, size);
  const fs::path& file = scratchFile();
  const fs::path copy = file.string() + ".backup";
  removeWithCompanions(file);
  if (!writeFile(file, data, size)) return 0;
  {
    tabulor::SqliteDB db;
    if (db.open(file.string())) {
      std::vector<std::string> names;
      for (const bool temporary : {false, true})
        for (const bool views : {false, true})
          for (std::string& name : db.listTables(!views, views, temporary))
            names.push_back(std::move(name));
      tabulor::SqliteTable treeCursor;  // the structure tree lists each table's columns
      for (const std::string& name : names) {
        if (db.tableExists(name) && treeCursor.open(name, db)) treeCursor.fieldNames();
        showObject(db, name);
      }
      removeWithCompanions(copy);
      db.backupTo(copy.string());
    }
  }
  removeWithCompanions(copy);
  removeWithCompanions(file);
  return 0;
}
