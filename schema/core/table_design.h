// Checking a design, then creating the new table or rebuilding the existing one to it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "report/outcome.h"
#include "schema/core/designer.h"
#include "schema/core/table_rebuild.h"
#include "sqlitedb/sqlite_db.h"

namespace tabulor::schema {

// The field list of a design, or the failed outcome that stops it (message and the
// cell to make current).
struct DesignCheck {
  std::vector<SqliteFieldInfo> fields;
  Outcome outcome;
};

// Checks the shown entries one row at a time, name, then type, then length; the
// first fault ends the check.
DesignCheck validateDesign(const std::vector<DesignerField>& entries);

// Pairs the validated fields (one per shown entry) with the existing columns
// their entries stand for, by position; nullopt when an entry stands for a
// column the table's stored definition does not have.
std::optional<std::vector<DesignedColumn>> designedColumns(
    const DesignerState& state, const std::vector<SqliteFieldInfo>& fields);

std::string temporaryTableName(const std::string& table, std::uint64_t tickCount);

// Asks for the name, then creates the table.
Outcome createDesignedTable(SqliteDB& db, const std::vector<SqliteFieldInfo>& fields,
                            const AskText& askText);

// Rebuilds state.targetTable to the fields in one unit of work, carrying the
// kept columns' data over by position and keeping what the designer does not
// show (see planRebuild); any failed step undoes all of it, and every failure
// says why. tickCount names the temporary table.
Outcome alterDesignedTable(SqliteDB& db, const DesignerState& state,
                           const std::vector<SqliteFieldInfo>& fields, std::uint64_t tickCount);

// The designer's OK button.
Outcome confirmDesign(SqliteDB& db, const DesignerState& state, const AskText& askText,
                      std::uint64_t tickCount);

}  // namespace tabulor::schema
