#include "schema/table_definition.h"

#include "schema/field_types.h"
#include "sqlitedb/program_text.h"

namespace tabulor::schema {

// "(", ")", "," and " " never occur inside a multi-byte character of UTF-8 or
// GBK, so plain byte searches are safe here.
std::string definitionBody(std::string_view sql) {
  const std::size_t open = sql.find('(');
  const std::size_t close = sql.rfind(')');
  if (open == std::string_view::npos || close == std::string_view::npos || close < open) return {};
  return std::string(sql.substr(open + 1, close - open - 1));
}

std::vector<std::string> splitDefinitionBody(std::string_view body) {
  std::vector<std::string> pieces;
  std::size_t start = 0;
  for (std::size_t comma = body.find(','); comma != std::string_view::npos;
       comma = body.find(',', start)) {
    pieces.emplace_back(body.substr(start, comma - start));
    start = comma + 1;
  }
  if (start < body.size()) pieces.emplace_back(body.substr(start));
  return pieces;
}

ParsedColumn parseColumnPiece(std::string_view piece) {
  const std::string d(trimBlanks(piece));
  std::string name = d;
  std::string type;
  std::int32_t length = 0;
  if (const std::size_t space = d.find(' '); space != std::string::npos) {
    name = trimBlanks(std::string_view(d).substr(0, space));
    type = trimBlanks(std::string_view(d).substr(space + 1));
  }
  const std::size_t open = type.find('(');
  const std::size_t close = type.find(')');
  if (open != std::string::npos && close != std::string::npos && close > open) {
    length = readWholeNumber(
        std::string(trimBlanks(std::string_view(type).substr(open + 1, close - open - 1))));
    type = trimBlanks(std::string_view(type).substr(0, open));
  }
  return {name, recognizeDeclaredType(type), length};
}

std::vector<ParsedColumn> parseTableDefinition(std::string_view sql) {
  std::vector<ParsedColumn> columns;
  for (const std::string& piece : splitDefinitionBody(definitionBody(sql)))
    columns.push_back(parseColumnPiece(piece));
  return columns;
}

}  // namespace tabulor::schema
