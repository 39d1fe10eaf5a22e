// Renaming and dropping tables and views, and emptying a table, without widgets.
#pragma once

#include <optional>
#include <string>

#include "report/outcome.h"

namespace tabulor {
class SqliteDB;
}

namespace tabulor::schema {

enum class ObjectKind { Table, View };

// The structure tree's selected item as the commands see it.
struct TreeSelection {
  std::string text;  // empty when nothing is selected
  bool isTable = false;
  bool isView = false;
};

// Why a name from the file is never put into a statement: it would end the statement
// early, and sqlite3_exec would run whatever follows as statements of their own.
std::string unsafeNameReason();

// The stored CREATE VIEW with everything between " VIEW " and " AS " replaced by
// the new name; nullopt when the definition does not have that shape.
std::optional<std::string> renameViewSql(const std::string& sql, const std::string& oldName,
                                         const std::string& newName);

// Drops the view and creates it again under the new name, in one unit of work. When the
// engine refuses a step, its reason is read before the rollback that undoes the drop
// replaces the connection's error.
std::optional<Failure> renameView(SqliteDB& db, const std::string& oldName,
                                  const std::string& newName);

Outcome renameObject(SqliteDB& db, ObjectKind kind, const TreeSelection& selection,
                     const AskText& askText);
Outcome dropObject(SqliteDB& db, ObjectKind kind, const TreeSelection& selection,
                   const AskYes& askYes);
// Empties the table the data view shows (shownName is its table-name box).
Outcome clearTable(SqliteDB& db, const std::string& shownName, const AskYes& askYes);

}  // namespace tabulor::schema
