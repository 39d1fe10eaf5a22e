#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "schema/designer.h"
#include "schema/outcome.h"
#include "sqlitedb/sqlite_db.h"

namespace tabulor::schema {

// The field list of a design, or the outcome that stops it (message and the
// cell to make current).
struct DesignCheck {
  bool ok = false;
  std::vector<SqliteFieldInfo> fields;
  Outcome failure;
};

// Checks the shown entries one row at a time, name, then type, then length; the
// first fault ends the check.
DesignCheck validateDesign(const std::vector<DesignerField>& entries);

// Old and new names of the kept existing columns, each joined by ",". Entries
// beyond the existing columns (a definition that split into more pieces than the
// table has columns) are left out of both lists.
struct ColumnCopyLists {
  std::string oldList;
  std::string newList;
};
ColumnCopyLists columnCopyLists(const DesignerState& state);

std::string temporaryTableName(const std::string& table, std::uint64_t tickCount);

// Asks for the name, then creates the table.
Outcome createDesignedTable(SqliteDB& db, const std::vector<SqliteFieldInfo>& fields,
                            const AskText& askText);

// Rebuilds state.targetTable to the fields in one unit of work, carrying the
// kept columns' data over by position; any failed step undoes all of it.
// tickCount names the temporary table.
Outcome alterDesignedTable(SqliteDB& db, const DesignerState& state,
                           const std::vector<SqliteFieldInfo>& fields, std::uint64_t tickCount);

// The designer's OK button.
Outcome confirmDesign(SqliteDB& db, const DesignerState& state, const AskText& askText,
                      std::uint64_t tickCount);

}  // namespace tabulor::schema
