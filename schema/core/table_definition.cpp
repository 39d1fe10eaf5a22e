// Reading a stored CREATE TABLE into its columns, table constraints and options.

#include "schema/core/table_definition.h"

#include <algorithm>

#include "schema/core/field_types.h"
#include "schema/core/sql_tokens.h"
#include "sqlitedb/text_scanning.h"

namespace tabulor::schema {
namespace {

using Tokens = std::vector<SqlToken>;

bool isAnyWord(std::string_view sql, const SqlToken& token,
               std::initializer_list<std::string_view> words) {
  return std::any_of(words.begin(), words.end(),
                     [&](std::string_view word) { return isWord(sql, token, word); });
}

// The words that end a declared type: the first word of every column constraint.
bool startsColumnConstraint(std::string_view sql, const SqlToken& token) {
  return isAnyWord(sql, token,
                   {"CONSTRAINT", "PRIMARY", "NOT", "NULL", "UNIQUE", "CHECK", "DEFAULT", "COLLATE",
                    "REFERENCES", "GENERATED", "AS"});
}

bool startsTableConstraint(std::string_view sql, const SqlToken& token) {
  return isAnyWord(sql, token, {"CONSTRAINT", "PRIMARY", "UNIQUE", "CHECK", "FOREIGN"});
}

std::size_t firstOpening(std::string_view sql, const Tokens& tokens) {
  for (std::size_t i = 0; i < tokens.size(); ++i)
    if (isSymbol(sql, tokens[i], '(')) return i;
  return tokens.size();
}

// Table constraints may follow one another without a comma; each is kept apart
// so that one can be dropped alone.
void appendTableConstraints(std::string_view piece, const Tokens& tokens,
                            std::vector<std::string>& constraints) {
  std::size_t start = 0;
  int depth = 0;
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    if (isSymbol(piece, tokens[i], '(')) ++depth;
    if (isSymbol(piece, tokens[i], ')')) --depth;
    const bool namedBefore = i >= 2 && isWord(piece, tokens[i - 2], "CONSTRAINT");
    if (i > start && depth == 0 && !namedBefore && startsTableConstraint(piece, tokens[i])) {
      constraints.emplace_back(tokenSpan(piece, tokens, start, i));
      start = i;
    }
  }
  constraints.emplace_back(tokenSpan(piece, tokens, start, tokens.size()));
}

}  // namespace

std::vector<std::string> splitDefinitionBody(std::string_view body) {
  std::vector<std::string> pieces;
  std::size_t start = 0;
  bool tail = false;  // tokens since the last comma
  int depth = 0;
  for (const SqlToken& token : tokenizeSql(body)) {
    if (isSymbol(body, token, '(')) ++depth;
    if (isSymbol(body, token, ')')) --depth;
    if (depth == 0 && isSymbol(body, token, ',')) {
      pieces.emplace_back(body.substr(start, token.begin - start));
      start = token.end;
      tail = false;
    } else {
      tail = true;
    }
  }
  if (tail) pieces.emplace_back(body.substr(start));
  return pieces;
}

StoredColumn readColumnDefinition(std::string_view piece) {
  const Tokens tokens = tokenizeSql(piece);
  StoredColumn column;
  if (tokens.empty()) return column;
  column.name = tokenName(piece, tokens[0]);
  column.writtenName = tokenText(piece, tokens[0]);
  std::size_t typeEnd = 1;
  std::string words;
  for (; typeEnd < tokens.size(); ++typeEnd) {
    const SqlToken& token = tokens[typeEnd];
    if (token.kind == SqlToken::Kind::Symbol || startsColumnConstraint(piece, token)) break;
    words += (words.empty() ? "" : " ") + std::string(tokenText(piece, token));
  }
  if (typeEnd < tokens.size() && isSymbol(piece, tokens[typeEnd], '(')) {
    const std::size_t close = closingParenthesis(piece, tokens, typeEnd);
    const std::size_t insideEnd = close < tokens.size() ? tokens[close].begin : piece.size();
    const std::string_view inside =
        piece.substr(tokens[typeEnd].end, insideEnd - tokens[typeEnd].end);
    column.length = readWholeNumber(std::string(trimBlanks(inside)));
    typeEnd = std::min(close + 1, tokens.size());
  }
  column.typeName = recognizeDeclaredType(trimBlanks(words));
  std::size_t constraintsStart = typeEnd;
  if (!words.empty() && tokens.size() == typeEnd + 2 && isWord(piece, tokens[typeEnd], "PRIMARY") &&
      isWord(piece, tokens[typeEnd + 1], "KEY")) {
    const std::string key = recognizeDeclaredType(words + " PRIMARY KEY");
    if (!key.empty()) {
      column.typeName = key;
      constraintsStart = tokens.size();
    }
  }
  column.typeText = tokenSpan(piece, tokens, 1, constraintsStart);
  column.constraints = tokenSpan(piece, tokens, constraintsStart, tokens.size());
  return column;
}

std::optional<StoredTable> readTableDefinition(std::string_view sql) {
  const Tokens tokens = tokenizeSql(sql);
  const std::size_t open = firstOpening(sql, tokens);
  for (std::size_t i = 0; i < open; ++i)
    if (isWord(sql, tokens[i], "VIRTUAL")) return std::nullopt;
  if (open == tokens.size()) return std::nullopt;
  const std::size_t close = closingParenthesis(sql, tokens, open);
  if (close == tokens.size()) return std::nullopt;
  StoredTable table;
  const std::string_view body =
      sql.substr(tokens[open].end, tokens[close].begin - tokens[open].end);
  for (const std::string& piece : splitDefinitionBody(body)) {
    const Tokens pieceTokens = tokenizeSql(piece);
    if (pieceTokens.empty()) continue;
    if (startsTableConstraint(piece, pieceTokens[0]))
      appendTableConstraints(piece, pieceTokens, table.constraints);
    else
      table.columns.push_back(readColumnDefinition(piece));
  }
  table.options = tokenSpan(sql, tokens, close + 1, tokens.size());
  for (std::size_t i = close + 1; i < tokens.size(); ++i)
    table.withoutRowid = table.withoutRowid || isWord(sql, tokens[i], "WITHOUT");
  return table;
}

}  // namespace tabulor::schema
