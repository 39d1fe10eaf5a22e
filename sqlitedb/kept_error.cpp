// A connection's engine error, and keeping a failure for the diagnostics past later calls.

#include "sqlitedb/kept_error.h"

#include "sqlitedb/sqlite_db.h"

namespace tabulor {

EngineError engineErrorOf(const SqliteDB& db) { return {db.errorCode(), db.errorText()}; }

void KeptEngineError::keep(EngineError failure, const SqliteDB& db) {
  kept_ = Kept{std::move(failure), db.engineCalls()};
}

EngineError KeptEngineError::lastError(const SqliteDB& db) const {
  if (kept_ && db.engineCalls() == kept_->engineCalls) return kept_->failure;
  return engineErrorOf(db);
}

}  // namespace tabulor
