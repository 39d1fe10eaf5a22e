// Reading SQL text as the engine does: tokens, the names they stand for, quoting a name.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tabulor::schema {

// One token of SQL text in program text: its kind and its bytes [begin, end).
// Blanks, line breaks and comments only separate tokens.
struct SqlToken {
  enum class Kind { Word, QuotedName, String, Symbol };
  Kind kind = Kind::Symbol;
  std::size_t begin = 0;
  std::size_t end = 0;
};

// Reads SQL as the engine does: '...' strings; "...", `...` and [...] names; words
// (letters, digits, "_", "$" and every multi-byte character); every other character
// a symbol of its own. Multi-byte characters are stepped over whole, so a trail
// byte that looks like "]" or "`" never ends a name. An unterminated quote or
// comment runs to the end of the text.
std::vector<SqlToken> tokenizeSql(std::string_view sql);

std::string_view tokenText(std::string_view sql, const SqlToken& token);

// The name a word, quoted name or string stands for: quotes removed, doubled
// quotes undone.
std::string tokenName(std::string_view sql, const SqlToken& token);

// Whether the token is the bare word `word`, ASCII case ignored.
bool isWord(std::string_view sql, const SqlToken& token, std::string_view word);
bool isSymbol(std::string_view sql, const SqlToken& token, char symbol);

// The index of the ")" that closes the "(" at tokens[open]; tokens.size() when
// it is never closed.
std::size_t closingParenthesis(std::string_view sql, const std::vector<SqlToken>& tokens,
                               std::size_t open);

// The text from the first to the last of tokens [first, last), as written:
// inner blanks and comments kept, none before or after.
std::string_view tokenSpan(std::string_view sql, const std::vector<SqlToken>& tokens,
                           std::size_t first, std::size_t last);

// A name as it goes into a statement: unchanged when it is a plain word that
// does not start with a digit, otherwise in double quotes.
std::string sqlName(std::string_view name);

}  // namespace tabulor::schema
