// Telling a query from statements by the SQL's first word, for the console's two kinds.
#pragma once

#include <optional>
#include <string_view>

namespace tabulor {

// The console's two ways of running SQL: a query shows its rows, an execute only its outcome.
enum class SqlKind { Query, Execute };

// Guesses the kind from the first word of program text, after trimming blanks: "select"
// is a query; "update", "delete", "insert", "create" and "drop" execute (ASCII case
// ignored, longer words starting with them count too). nullopt leaves the choice as it is.
std::optional<SqlKind> detectSqlKind(std::string_view sql);

}  // namespace tabulor
