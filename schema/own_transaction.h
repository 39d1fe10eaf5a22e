#pragma once

#include <string>

namespace tabulor {
class SqliteDB;
}

namespace tabulor::schema {

// The program's own unit of work on the connection. In autocommit mode it is the
// plain "BEGIN TRANSACTION " ... "COMMIT TRANSACTION "; inside a transaction the
// user opened it is a savepoint, so the user's transaction and its earlier
// changes survive both outcomes and stay open.
class OwnTransaction {
 public:
  enum class Form { TransactionOrSavepoint, Savepoint };

  OwnTransaction(SqliteDB& db, std::string savepointName, Form form = Form::TransactionOrSavepoint);
  OwnTransaction(const OwnTransaction&) = delete;
  OwnTransaction& operator=(const OwnTransaction&) = delete;

  bool insideUserTransaction() const { return insideUserTransaction_; }

  bool begin();
  bool commit();
  // Undoes the work since begin; a savepoint is also released (and left alone
  // when it was never opened).
  void rollback();

 private:
  SqliteDB& db_;
  std::string savepointName_;
  bool insideUserTransaction_;
  bool usesSavepoint_;
  bool begun_ = false;
};

}  // namespace tabulor::schema
