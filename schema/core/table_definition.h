// Reading a stored CREATE TABLE into its columns, table constraints and options.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tabulor::schema {

// One column of a stored definition: what the designer shows of it, and the
// text it was written with, so that a rebuild can write it back unchanged.
struct StoredColumn {
  std::string name;         // as the engine reads it: quotes removed
  std::string writtenName;  // as written, quotes included
  // The part the designer's type column stands for: the declared type, and
  // "PRIMARY KEY" with it when the two read as the designer's primary key.
  std::string typeText;
  std::string constraints;     // everything after the type, as written
  std::string typeName;        // the designer type name read from typeText
  std::int32_t length = 0;     // the number in the type's parentheses
  bool generated = false;      // a generated column: never copied into
  int primaryKeyPosition = 0;  // 1, 2... within the primary key; 0 outside it
};

// A stored CREATE TABLE statement read the way the engine reads it.
struct StoredTable {
  std::vector<StoredColumn> columns;
  std::vector<std::string> constraints;  // table constraints, each as written
  std::string options;                   // after the column list: WITHOUT ROWID, STRICT
  bool withoutRowid = false;
};

// The pieces of a column list: split at the commas outside parentheses, quotes,
// brackets and comments. Each comma ends a piece; the text after the last comma
// is a piece only when it holds more than blanks.
std::vector<std::string> splitDefinitionBody(std::string_view body);

// Name, type and constraints of one column definition.
StoredColumn readColumnDefinition(std::string_view piece);

// nullopt for a statement without a column list and for a virtual table, whose
// columns the engine's module decides.
std::optional<StoredTable> readTableDefinition(std::string_view sql);

}  // namespace tabulor::schema
