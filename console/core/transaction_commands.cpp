// The notices of the transaction commands and of 取错误文本, 取错误码 and 取最新插入ID.

#include "console/core/transaction_commands.h"

#include <string>

#include "sqlitedb/sqlite_db.h"

namespace tabulor {

namespace {

Outcome transactionOutcome(bool ok, std::string_view success, std::string_view failure,
                           const SqliteDB& db) {
  return ok ? succeeded(makeNotice(success, MessageFlags::InformationIcon))
            : failed(dbErrorNotice(programTextFromUtf8(failure), db.errorText()));
}

Notice diagnostic(std::string_view label, const std::string& value, int flags,
                  std::string_view title) {
  Notice notice = makeNotice(label, flags, title);
  notice.text += value;
  return notice;
}

}  // namespace

Outcome startTransaction(SqliteDB& db) {
  const bool ok = db.beginTransaction();
  return transactionOutcome(ok, "已成功启动事务。", "启动事务失败！", db);
}

Outcome commitTransaction(SqliteDB& db) {
  const bool ok = db.commitTransaction();
  return transactionOutcome(ok, "已成功提交事务。", "提交事务失败！", db);
}

Outcome rollbackTransaction(SqliteDB& db) {
  const bool ok = db.rollbackTransaction();
  return transactionOutcome(ok, "已成功回滚事务。", "回滚事务失败！", db);
}

Notice lastErrorTextNotice(const SqliteDB& db) { return lastErrorTextNotice(db.errorText()); }

Notice lastErrorCodeNotice(const SqliteDB& db) { return lastErrorCodeNotice(db.errorCode()); }

Notice lastErrorTextNotice(const std::string& errorText) {
  return diagnostic("最近一次操作的错误信息：", errorText, MessageFlags::ErrorIcon,
                    "取错误文本()：");
}

Notice lastErrorCodeNotice(std::int32_t errorCode) {
  return diagnostic("最近一次操作的错误码：", std::to_string(errorCode), MessageFlags::ErrorIcon,
                    "取错误码()：");
}

Notice lastInsertIdNotice(const SqliteDB& db) {
  return diagnostic("最近一次插入记录时自动生成的记录ID：", std::to_string(db.lastInsertRowid()),
                    MessageFlags::Ok, "取最新插入ID()：");
}

}  // namespace tabulor
