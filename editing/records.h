#pragma once

#include <cstdint>
#include <string>

#include "platform/outcome.h"

namespace tabulor {

class SqliteDB;
class SqliteTable;

// The record commands of the "表" menu without their window: the SQL, the work and the
// outcome of each. Texts are program text.

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

// Writes the fixed test record into TBL_ACCOUNT of the database file at databasePath,
// created when missing.
Outcome insertAccountRecord(const std::string& databasePath, const std::string& account,
                            const std::string& createDate);

}  // namespace tabulor
