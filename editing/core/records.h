// The record commands without their window: the SQL, the work and the outcome of each.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "report/outcome.h"
#include "sqlitedb/field_value.h"

namespace tabulor {

class SqliteDB;
class SqliteTable;

// Texts are program text.

// "insert into t values(null,null,null)": one NULL per column; the name goes in unquoted.
std::string emptyRecordSql(const std::string& table, std::int32_t fieldCount);

// The insert of the fixed test record into TBL_ACCOUNT for the typed account text. Single
// quotes in the values are doubled, so the account is stored exactly as typed.
std::string accountInsertSql(const std::string& account, const std::string& createDate);

// "插入空记录" on the open table: the engine's refusal is not shown, only the likely causes.
Outcome insertEmptyRecord(SqliteDB& db, const SqliteTable& table);

// "删除当前记录": record (from 1) of the open table, once the user has said Yes.
// tableSelected: the structure tree's selection is a table, not a view.
Outcome deleteRecord(SqliteDB& db, SqliteTable& table, bool tableSelected, std::int32_t record,
                     const AskYes& askYes);

// The open table's cursor before a write: the row id of its current record and the count.
struct CursorMark {
  std::optional<std::int64_t> rowId;
  std::int32_t records = 0;
};
CursorMark markCursor(SqliteTable& table);
// After a successful write: whether grid rows and cursor records still denote the same rows,
// the write having changed neither the current record's row id nor the number of records.
bool cursorStillPaired(SqliteTable& table, const CursorMark& before);

// The field panel's "写入" buttons: one field (from 1) of record (from 1) of the open table.
// The value is made once the record is ready and may ask the user first; none writes
// nothing and fails like a refused write.
Outcome writeFieldValue(SqliteTable& table, std::int32_t record, std::int32_t field,
                        const std::function<std::optional<FieldValue>()>& value);

// Writes the fixed test record into TBL_ACCOUNT of the database file at databasePath,
// created when missing.
Outcome insertAccountRecord(const std::string& databasePath, const std::string& account,
                            const std::string& createDate);

}  // namespace tabulor
