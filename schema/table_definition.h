#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tabulor::schema {

// One field row as read back from a stored CREATE TABLE statement.
struct ParsedColumn {
  std::string name;
  std::string typeName;  // a designer type name, the empty choice when unrecognised
  std::int32_t length = 0;

  bool operator==(const ParsedColumn&) const = default;
};

// The text between the first "(" and the last ")"; empty when either is missing
// or they stand the wrong way round.
std::string definitionBody(std::string_view sql);

// Splits at every comma, blind to parentheses and quotes. Each comma ends a piece;
// the text after the last comma is a piece only when not empty.
std::vector<std::string> splitDefinitionBody(std::string_view body);

// Name, recognised type and maximum length of one piece: the name ends at the
// first ASCII space, a length is the number inside the type's "(" ... ")".
ParsedColumn parseColumnPiece(std::string_view piece);

std::vector<ParsedColumn> parseTableDefinition(std::string_view sql);

}  // namespace tabulor::schema
