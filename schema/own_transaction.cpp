#include "schema/own_transaction.h"

#include "sqlitedb/sqlite_db.h"

namespace tabulor::schema {

OwnTransaction::OwnTransaction(SqliteDB& db, std::string savepointName, Form form)
    : db_(db),
      savepointName_(std::move(savepointName)),
      insideUserTransaction_(db.inTransaction()),
      usesSavepoint_(form == Form::Savepoint || insideUserTransaction_) {}

bool OwnTransaction::begin() {
  begun_ = usesSavepoint_ ? db_.execute("SAVEPOINT " + savepointName_) : db_.beginTransaction();
  return begun_;
}

bool OwnTransaction::commit() {
  return usesSavepoint_ ? db_.execute("RELEASE SAVEPOINT " + savepointName_)
                        : db_.commitTransaction();
}

void OwnTransaction::rollback() {
  if (!usesSavepoint_) {
    db_.rollbackTransaction();
    return;
  }
  if (!begun_) return;
  db_.execute("ROLLBACK TRANSACTION TO SAVEPOINT " + savepointName_);
  db_.execute("RELEASE SAVEPOINT " + savepointName_);
}

}  // namespace tabulor::schema
