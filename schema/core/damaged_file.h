// Refusing to write into a damaged file: the check a command makes before it rewrites or frees
// pages.
#pragma once

#include <optional>
#include <string_view>

#include "report/outcome.h"

namespace tabulor {
class SqliteDB;
}

namespace tabulor::schema {

// Made once the user has said what to do, before anything is written. A write into a
// damaged file can make the damage permanent: with too low a page count in the header the
// engine takes pages that still hold another table's rows for new ones, and a catalogue
// record it cannot match hides an index or trigger that a rebuild or a drop then loses.
// So the catalogue's records must be as the engine writes them, and the engine's quick
// check of the pages must find nothing. nullopt when the file may be written; otherwise
// the failed outcome that refuses the command (named by `command`, as "修改表", in its
// log line), nothing having been written.
std::optional<Outcome> damagedFileRefusal(SqliteDB& db, std::string_view command);

}  // namespace tabulor::schema
