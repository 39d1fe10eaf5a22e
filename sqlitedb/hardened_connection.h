// Every engine connection the program opens reads files other people made, so each one
// is opened with the same guards: the schema is not trusted, damaged cells are caught,
// no extension can be loaded and no statement or value can grow without bound.
// docs/RELIABILITY.md lists each setting and why.
#pragma once

struct sqlite3;

namespace tabulor {

// sqlite3_open_v2 with the guards applied; nullptr when the engine refuses the file.
sqlite3* openHardenedConnection(const char* utf8Name, int flags);

}  // namespace tabulor
