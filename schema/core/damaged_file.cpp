// Refusing to write into a damaged file: the check a command makes before it rewrites or frees
// pages.

#include "schema/core/damaged_file.h"

#include <string>
#include <vector>

#include "sqlitedb/sqlite_dataset.h"
#include "sqlitedb/sqlite_db.h"
#include "sqlitedb/text_scanning.h"

namespace tabulor::schema {
namespace {

// Enough for the user to see what is wrong; the check stops there on a badly damaged file.
constexpr int kProblemsReported = 5;

// Records the engine never writes: it finds an object's rows by type and table name, so a
// record whose type or names are damaged is missed when its table is rebuilt or dropped.
// One line each; nullopt when they cannot be read.
std::optional<std::vector<std::string>> damagedCatalogueRecords(SqliteDB& db) {
  SqliteDataset records;
  if (!records.open("SELECT rowid, quote(type), quote(name), quote(tbl_name) FROM sqlite_master"
                    " WHERE typeof(type) <> 'text'"
                    " OR type NOT IN ('table', 'index', 'view', 'trigger')"
                    " OR typeof(name) <> 'text' OR typeof(tbl_name) <> 'text' LIMIT " +
                        std::to_string(kProblemsReported),
                    db) ||
      !records.requery())
    return std::nullopt;
  const TextTable rows = records.fetchAllText();
  std::vector<std::string> lines;
  for (int row = 0; row < rows.rowCount(); ++row)
    lines.push_back(programTextFromUtf8("数据库结构记录已损坏：rowid ") + rows.cell(row, 0) +
                    ", type " + rows.cell(row, 1) + ", name " + rows.cell(row, 2) + ", tbl_name " +
                    rows.cell(row, 3));
  return lines;
}

// The problems as the box and the log show them, line breaks as the program writes them.
std::string reasonText(const std::vector<std::string>& problems) {
  std::string reason;
  for (const std::string& problem : problems) {
    if (!reason.empty()) reason += "\r\n";
    for (char c : problem) reason += c == '\n' ? std::string("\r\n") : std::string(1, c);
  }
  return reason;
}

}  // namespace

std::optional<Outcome> damagedFileRefusal(SqliteDB& db, std::string_view command) {
  std::optional<std::vector<std::string>> problems = db.quickCheck(kProblemsReported);
  if (problems && problems->empty()) problems = damagedCatalogueRecords(db);
  if (!problems)
    return failed(dbErrorNotice(programTextFromUtf8("无法检查数据库文件是否完好，未做任何修改！"),
                                db.errorText()));
  if (problems->empty()) return std::nullopt;
  const std::string reason = reasonText(*problems);
  const std::string message =
      programTextFromUtf8("数据库文件已损坏，为避免损坏扩大，未做任何修改！");
  Outcome outcome = failed(dbErrorNotice(message, reason));
  outcome.logLine = programTextFromUtf8("[×]") + programTextFromUtf8(command) +
                    programTextFromUtf8("：") + message + reason;
  return outcome;
}

}  // namespace tabulor::schema
