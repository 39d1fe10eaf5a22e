// The program's own unit of work on the connection, and foreign keys switched off around it.

#include "schema/core/own_transaction.h"

#include "sqlitedb/sqlite_db.h"

namespace tabulor::schema {

OwnTransaction::OwnTransaction(SqliteDB& db, std::string savepointName, Form form)
    : db_(db),
      savepointName_(std::move(savepointName)),
      insideUserTransaction_(db.inTransaction()),
      usesSavepoint_(form == Form::Savepoint || insideUserTransaction_) {}

OwnTransaction::~OwnTransaction() {
  if (beginTried_ && !committed_) rollback();
}

bool OwnTransaction::begin() {
  beginTried_ = true;
  begun_ = usesSavepoint_ ? db_.execute("SAVEPOINT " + savepointName_) : db_.beginTransaction();
  return begun_;
}

bool OwnTransaction::commit() {
  committed_ =
      usesSavepoint_ ? db_.execute("RELEASE SAVEPOINT " + savepointName_) : db_.commitTransaction();
  return committed_;
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

ForeignKeysOff::ForeignKeysOff(SqliteDB& db, bool enforced) : db_(db), enforced_(enforced) {
  if (enforced_) db_.execute("PRAGMA foreign_keys=OFF");
}

ForeignKeysOff::~ForeignKeysOff() {
  if (enforced_) db_.execute("PRAGMA foreign_keys=ON");
}

}  // namespace tabulor::schema
