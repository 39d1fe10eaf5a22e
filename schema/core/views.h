// The commands "新建视图" and "修改视图".
#pragma once

#include "report/outcome.h"
#include "schema/core/object_commands.h"

namespace tabulor {
class SqliteDB;
}

namespace tabulor::schema {

// Runs the typed statement as it is, whatever it is.
Outcome newView(SqliteDB& db, const AskText& askText);

// Replaces the selected view's SELECT. The drop and the new definition form one
// savepoint, so a refused definition leaves the old view exactly as it was.
Outcome modifyView(SqliteDB& db, const TreeSelection& selection, const AskText& askText);

}  // namespace tabulor::schema
