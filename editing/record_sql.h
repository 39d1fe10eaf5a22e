// The SQL of the record commands: an empty record, and the fixed test record.
#pragma once

#include <cstdint>
#include <string>

namespace tabulor {

// The SQL of the record commands, as program text.

// "insert into t values(null,null,null)": one NULL per column; the name goes in unquoted.
std::string emptyRecordSql(const std::string& table, std::int32_t fieldCount);

// The insert of the fixed test record into TBL_ACCOUNT for the typed account text. Single
// quotes in the values are doubled, so the account is stored exactly as typed.
std::string accountInsertSql(const std::string& account, const std::string& createDate);

}  // namespace tabulor
