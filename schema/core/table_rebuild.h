// Rebuilding a table to new columns, keeping what the designer does not show, and its checks.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "report/outcome.h"
#include "schema/core/table_definition.h"
#include "sqlitedb/sqlite_db.h"

namespace tabulor::schema {

// One field of the new definition: the validated field, and the existing column
// it stands for (none for an inserted field).
struct DesignedColumn {
  SqliteFieldInfo field;
  std::optional<std::size_t> existing;
};

// An index or trigger of the table, as stored.
struct TableCompanion {
  std::string type;  // "index" or "trigger"
  std::string name;
  std::string sql;
};

// One row of the planner's statistics (sqlite_stat1, sqlite_stat4) about the table.
struct StatisticsRow {
  std::string statTable;
  std::optional<std::string> index;  // none: the row counts the table itself
  std::string tableValue;            // the stored tbl, as an SQL literal
  std::string otherValues;           // the columns after idx, as SQL literals with ", "
};

// An index the engine made for a UNIQUE or PRIMARY KEY constraint, and its columns.
struct AutomaticIndex {
  std::string name;
  std::vector<std::string> columns;
};

// What the rebuild reads of the table before it starts.
struct TableSnapshot {
  std::vector<TableCompanion> companions;
  std::optional<std::int64_t> sequence;  // the AUTOINCREMENT counter
  std::vector<StatisticsRow> statistics;
  std::vector<AutomaticIndex> automaticIndexes;
};

// A statistics row to write again after the rebuild. Automatic indexes are numbered
// by the engine as it reads the definition, so one is found again by its columns.
struct KeptStatistics {
  StatisticsRow row;
  std::vector<std::string> automaticIndexColumns;  // the new names; empty for other rows
};

// The statements of one rebuild, in the order they run. The rows wait in a table of
// bare columns, so no constraint or index of the old definition works on the first
// copy; the new table gets them once, and its indexes only after the rows are in.
struct RebuildPlan {
  std::string table;
  std::string temporaryTable;  // empty: no column keeps data, the table is rebuilt empty
  std::string createTemporary;
  std::string copyOut;
  std::string createTable;
  std::string copyBack;
  std::vector<std::string> companions;  // indexes and triggers, created again
  std::vector<std::string> keepSequence;
  std::vector<KeptStatistics> statistics;
  // What can no longer hold and is left out, in program text ("索引 i_b").
  std::vector<std::string> dropped;
};

// Plans the rebuild of `table` to `columns`, keeping of `stored` everything the
// designer does not show: each kept column's definition (only its declared type
// replaced when the user changed the type), table constraints, table options,
// generated columns, indexes, triggers, the AUTOINCREMENT counter (or its absence)
// and the planner's statistics. Names follow renames; a table constraint, index or
// trigger that names a deleted column is left out and listed in `dropped`, and the
// statistics of an index that goes go with it.
RebuildPlan planRebuild(const std::string& table, const StoredTable& stored,
                        const std::vector<DesignedColumn>& columns, const TableSnapshot& snapshot,
                        const std::string& temporaryTable);

// The table's definition as stored, checked against the engine's own column
// list, which also tells generated columns and the primary key. When the two
// disagree the columns are the engine's and `refusal` says why no rebuild may
// use them.
struct LoadedTable {
  StoredTable definition;
  std::optional<Failure> refusal;
};
LoadedTable loadStoredTable(SqliteDB& db, const std::string& table);

// Foreign-key violations with one table as the child, counted per parent.
struct ForeignKeyCheck {
  std::string table;
  std::optional<Failure> refused;  // the engine's refusal to check, when it refused
  std::map<std::string, long long> violations;
};
using ForeignKeyChecks = std::vector<ForeignKeyCheck>;

// The table and every table whose foreign keys refer to it: the only ones a
// rebuild of it can break.
std::vector<std::string> foreignKeyRelatives(SqliteDB& db, const std::string& table);
ForeignKeyChecks checkForeignKeys(SqliteDB& db, const std::vector<std::string>& tables);
// The reason to refuse when `after` holds a violation that `before` did not;
// old violations elsewhere in the database are not the alteration's doing.
std::optional<Failure> introducedViolation(const ForeignKeyChecks& before,
                                           const ForeignKeyChecks& after);

TableSnapshot readTableSnapshot(SqliteDB& db, const std::string& table);

// Runs the plan's statements inside the caller's transaction. Every step runs
// even after one fails, but none once the engine has ended the transaction
// itself (a full disk): outside a transaction each would commit on its own and
// DROP TABLE would lose the table. Returns the first failure's reason, in
// program text; nullopt on success.
std::optional<Failure> rebuildTable(SqliteDB& db, const RebuildPlan& plan);

}  // namespace tabulor::schema
