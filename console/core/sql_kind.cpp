// Telling a query from statements by the SQL's first word, for the console's two kinds.

#include "console/core/sql_kind.h"

#include <array>

#include "sqlitedb/text_scanning.h"

namespace tabulor {

std::optional<SqlKind> detectSqlKind(std::string_view sql) {
  const std::string_view trimmed = trimBlanks(sql);
  if (startsWithIgnoringAsciiCase(trimmed, "select")) return SqlKind::Query;
  constexpr std::array<std::string_view, 5> executeWords = {"update", "delete", "insert", "create",
                                                            "drop"};
  for (std::string_view word : executeWords)
    if (startsWithIgnoringAsciiCase(trimmed, word)) return SqlKind::Execute;
  return std::nullopt;
}

}  // namespace tabulor
