// Scanning program text without splitting a multi-byte character, and small text helpers.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tabulor {

// Scanning of program text that never splits a multi-byte character: UTF-8 sequences
// or, in a double-byte code page such as GBK, lead + trail pairs (GB18030's four-byte
// form included).

// A fixed text of the program, written in UTF-8 in the sources, as program text.
std::string programTextFromUtf8(std::string_view utf8);

// Length in bytes of the character starting at byte pos (pos < text.size()).
std::size_t characterLength(std::string_view text, std::size_t pos);

// The text with every quote character doubled, as SQL reads it back between two of them.
// No lead or trail byte of a double-byte character is a quote, so bytes are compared.
std::string doubledQuotes(std::string_view text, char quote = '\'');

// A date and time as the program writes it: 2024年5月3日14时5分9秒, the trailing parts
// left out while they are 0 (2024年5月3日14时 at 14:00:00).
std::string dateTimeText(int year, int month, int day, int hour, int minute, int second);

// Removes ASCII blanks and the full-width blank U+3000 at both ends; tabs and line
// breaks stay.
std::string_view trimBlanks(std::string_view text);

// Whether a equals b, ASCII letters compared without regard to case; multi-byte
// characters are compared as they are.
bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b);

// Whether text begins with word, compared as equalsIgnoringAsciiCase compares.
bool startsWithIgnoringAsciiCase(std::string_view text, std::string_view word);

// 1-based byte position of pattern in text, searching from byte position from; -1 when
// not found. Characters are matched as units, never in their middle; ignoreCase folds
// ASCII letters only.
int findText(std::string_view text, std::string_view pattern, int from, bool ignoreCase);

// Names go into statements as they are. A name is used only when it ends where it is put:
// outside its quotes it holds no ";" (the rest would be another statement, which
// sqlite3_exec runs) and no "--" or "/*" (which would hide what follows it, such as the
// LIMIT of the data view or the WHERE of a delete), and every quote it opens is closed.
bool isSelfContainedName(std::string_view name);

}  // namespace tabulor
