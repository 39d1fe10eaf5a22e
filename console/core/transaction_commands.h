// The notices of the transaction commands and of 取错误文本, 取错误码 and 取最新插入ID.
#pragma once

#include <cstdint>
#include <string>

#include "report/outcome.h"

namespace tabulor {

class SqliteDB;

// The transaction and diagnostic commands of the main window: each makes one call on the
// connection and gives the one message box the user sees. The engine decides what a
// transaction statement may do; its refusal is shown with its own words.
Outcome startTransaction(SqliteDB& db);
Outcome commitTransaction(SqliteDB& db);
Outcome rollbackTransaction(SqliteDB& db);

// The diagnostics' boxes.

Notice lastErrorTextNotice(const SqliteDB& db);
Notice lastErrorCodeNotice(const SqliteDB& db);
// The same two boxes for an error state read earlier (program text).
Notice lastErrorTextNotice(const std::string& errorText);
Notice lastErrorCodeNotice(std::int32_t errorCode);
Notice lastInsertIdNotice(const SqliteDB& db);

}  // namespace tabulor
