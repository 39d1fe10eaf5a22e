// Virtual tables and the shadow tables their modules keep, which table commands leave alone.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "report/outcome.h"

namespace tabulor {
class SqliteDB;
}

namespace tabulor::schema {

// A virtual table and the module that serves it, as its stored definition names them.
struct VirtualTable {
  std::string name;
  std::string module;
};

// The module named by a stored CREATE VIRTUAL TABLE; nullopt for any other statement.
std::optional<std::string> virtualTableModule(std::string_view sql);

// The table itself when it is a virtual table of the main database.
std::optional<VirtualTable> virtualTableNamed(SqliteDB& db, const std::string& table);

// The virtual table whose module keeps its data in `table`, as the engine tells them:
// "<virtual table>_<suffix>", the suffix one its module reserves (full-text and R*Tree
// tables), or a table the engine itself reports as such.
std::optional<std::string> shadowTableOwner(SqliteDB& db, const std::string& table);

// Why a table command (verb: "修改", "清空", "删除") must leave `table` alone: it belongs
// to a virtual table's module. nullopt when it does not.
std::optional<Failure> shadowTableRefusal(SqliteDB& db, const std::string& table,
                                          std::string_view verb);

// Why the designer cannot open on `table`: a shadow table or a virtual table. nullopt
// when it can.
std::optional<Failure> designerRefusal(SqliteDB& db, const std::string& table);

}  // namespace tabulor::schema
