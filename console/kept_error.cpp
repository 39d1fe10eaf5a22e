#include "console/kept_error.h"

#include "sqlitedb/sqlite_db.h"

namespace tabulor {

EngineError engineErrorOf(const SqliteDB& db) { return {db.errorCode(), db.errorText()}; }

void KeptEngineError::keep(EngineError failure, EngineError settled) {
  kept_ = Kept{std::move(failure), std::move(settled)};
}

EngineError KeptEngineError::lastError(const SqliteDB& db) const {
  EngineError now = engineErrorOf(db);
  if (kept_ && now == kept_->settled) return kept_->failure;
  return now;
}

}  // namespace tabulor
