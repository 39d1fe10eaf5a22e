// The program's own unit of work on the connection, and foreign keys switched off around it.
#pragma once

#include <string>

namespace tabulor {
class SqliteDB;
}

namespace tabulor::schema {

// The program's own unit of work on the connection. In autocommit mode it is the
// plain "BEGIN TRANSACTION " ... "COMMIT TRANSACTION "; inside a transaction the
// user opened it is a savepoint, so the user's transaction and its earlier
// changes survive both outcomes and stay open. Once begin has been tried, leaving the
// scope without a commit rolls the work back; read the engine's message on a failed step
// before that.
class OwnTransaction {
 public:
  enum class Form { TransactionOrSavepoint, Savepoint };

  OwnTransaction(SqliteDB& db, std::string savepointName, Form form = Form::TransactionOrSavepoint);
  ~OwnTransaction();
  OwnTransaction(const OwnTransaction&) = delete;
  OwnTransaction& operator=(const OwnTransaction&) = delete;

  bool insideUserTransaction() const { return insideUserTransaction_; }

  bool begin();
  bool commit();

 private:
  // Undoes the work since begin; a savepoint is also released (and left alone
  // when it was never opened).
  void rollback();

  SqliteDB& db_;
  std::string savepointName_;
  bool insideUserTransaction_;
  bool usesSavepoint_;
  bool beginTried_ = false;
  bool begun_ = false;
  bool committed_ = false;
};

// Switches the enforcement of foreign keys off for its lifetime when it is on, and back
// on at the end, whatever way the scope is left. The engine ignores the switch inside a
// transaction, so make this before the unit of work: it then ends after the work does.
class ForeignKeysOff {
 public:
  ForeignKeysOff(SqliteDB& db, bool enforced);
  ~ForeignKeysOff();
  ForeignKeysOff(const ForeignKeysOff&) = delete;
  ForeignKeysOff& operator=(const ForeignKeysOff&) = delete;

 private:
  SqliteDB& db_;
  bool enforced_;
};

}  // namespace tabulor::schema
