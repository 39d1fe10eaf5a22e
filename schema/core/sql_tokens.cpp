// Reading SQL text as the engine does: tokens, the names they stand for, quoting a name.

#include "schema/core/sql_tokens.h"

#include "sqlitedb/text_scanning.h"

namespace tabulor::schema {
namespace {

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

bool isWordByte(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte >= 0x80 || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
         (c >= '0' && c <= '9') || c == '_' || c == '$';
}

// The position just past the quote that closes the one at `pos`; a doubled
// closing quote stands for itself (not for "[", which has no escape).
std::size_t skipQuoted(std::string_view sql, std::size_t pos, char close) {
  std::size_t at = pos + 1;
  while (at < sql.size()) {
    if (sql[at] == close) {
      if (close != ']' && at + 1 < sql.size() && sql[at + 1] == close) {
        at += 2;
        continue;
      }
      return at + 1;
    }
    at += characterLength(sql, at);
  }
  return sql.size();
}

// The position after the blanks and comments starting at `pos`.
std::size_t skipBlanks(std::string_view sql, std::size_t pos) {
  while (pos < sql.size()) {
    if (isBlank(sql[pos])) {
      ++pos;
    } else if (sql.substr(pos, 2) == "--") {
      const std::size_t lineEnd = sql.find('\n', pos);
      pos = lineEnd == std::string_view::npos ? sql.size() : lineEnd + 1;
    } else if (sql.substr(pos, 2) == "/*") {
      const std::size_t commentEnd = sql.find("*/", pos + 2);
      pos = commentEnd == std::string_view::npos ? sql.size() : commentEnd + 2;
    } else {
      break;
    }
  }
  return pos;
}

}  // namespace

std::vector<SqlToken> tokenizeSql(std::string_view sql) {
  std::vector<SqlToken> tokens;
  for (std::size_t pos = skipBlanks(sql, 0); pos < sql.size(); pos = skipBlanks(sql, pos)) {
    SqlToken token;
    token.begin = pos;
    const char c = sql[pos];
    if (c == '\'') {
      token.kind = SqlToken::Kind::String;
      pos = skipQuoted(sql, pos, '\'');
    } else if (c == '"' || c == '`' || c == '[') {
      token.kind = SqlToken::Kind::QuotedName;
      pos = skipQuoted(sql, pos, c == '[' ? ']' : c);
    } else if (isWordByte(c)) {
      token.kind = SqlToken::Kind::Word;
      while (pos < sql.size() && isWordByte(sql[pos])) pos += characterLength(sql, pos);
    } else {
      token.kind = SqlToken::Kind::Symbol;
      ++pos;
    }
    token.end = pos;
    tokens.push_back(token);
  }
  return tokens;
}

std::string_view tokenText(std::string_view sql, const SqlToken& token) {
  return sql.substr(token.begin, token.end - token.begin);
}

std::string tokenName(std::string_view sql, const SqlToken& token) {
  const std::string_view text = tokenText(sql, token);
  if (token.kind == SqlToken::Kind::Word || token.kind == SqlToken::Kind::Symbol)
    return std::string(text);
  const char open = text.front();
  const char close = open == '[' ? ']' : open;
  std::string_view inner = text.substr(1);
  if (!inner.empty() && inner.back() == close) inner.remove_suffix(1);
  if (open == '[') return std::string(inner);
  std::string name;
  for (std::size_t i = 0; i < inner.size();) {
    const std::size_t length = characterLength(inner, i);
    name += inner.substr(i, length);
    const bool doubled = inner[i] == close && i + 1 < inner.size() && inner[i + 1] == close;
    i += doubled ? 2 : length;
  }
  return name;
}

bool isWord(std::string_view sql, const SqlToken& token, std::string_view word) {
  return token.kind == SqlToken::Kind::Word && equalsIgnoringAsciiCase(tokenText(sql, token), word);
}

bool isSymbol(std::string_view sql, const SqlToken& token, char symbol) {
  return token.kind == SqlToken::Kind::Symbol && sql[token.begin] == symbol;
}

std::size_t closingParenthesis(std::string_view sql, const std::vector<SqlToken>& tokens,
                               std::size_t open) {
  int depth = 0;
  for (std::size_t i = open; i < tokens.size(); ++i) {
    if (isSymbol(sql, tokens[i], '(')) ++depth;
    if (isSymbol(sql, tokens[i], ')') && --depth == 0) return i;
  }
  return tokens.size();
}

std::string_view tokenSpan(std::string_view sql, const std::vector<SqlToken>& tokens,
                           std::size_t first, std::size_t last) {
  if (first >= last) return {};
  return sql.substr(tokens[first].begin, tokens[last - 1].end - tokens[first].begin);
}

std::string sqlName(std::string_view name) {
  bool plain = !name.empty() && !(name.front() >= '0' && name.front() <= '9');
  for (std::size_t i = 0; plain && i < name.size(); i += characterLength(name, i))
    plain = isWordByte(name[i]);
  if (plain) return std::string(name);
  return "\"" + doubledQuotes(name, '"') + "\"";
}

}  // namespace tabulor::schema
