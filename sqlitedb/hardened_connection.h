// Every engine connection the program opens reads files other people made, so each one
// is opened with the same guards: damaged cells are caught, no extension can be loaded
// and no statement or value can grow without bound; none of them hides a valid file.
// docs/RELIABILITY.md lists each setting and why.
#pragma once

#include "sqlitedb/engine.h"

namespace tabulor {

// sqlite3_open_v2 with the guards applied; null when the engine refuses the file.
engine::Connection openHardenedConnection(const char* utf8Name, int flags);

}  // namespace tabulor
