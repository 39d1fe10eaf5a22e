// Scanning program text without splitting a multi-byte character, and small text helpers.

#include "sqlitedb/text_scanning.h"

#include "sqlitedb/codepage.h"

namespace tabulor {
namespace {

unsigned char byteAt(std::string_view text, std::size_t pos) {
  return static_cast<unsigned char>(text[pos]);
}

bool isUtf8Continuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

std::size_t utf8SequenceLength(unsigned char lead) {
  if (lead >= 0xC0 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF7) return 4;
  return 1;
}

bool isDigit(unsigned char byte) { return byte >= '0' && byte <= '9'; }
bool isDoubleByteLead(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

std::string_view fullWidthBlank() {
  return programCodePageIsUtf8() ? std::string_view("\xE3\x80\x80") : std::string_view("\xA1\xA1");
}

// Length of the blank at pos, 0 when the character there is not a blank.
std::size_t blankLength(std::string_view text, std::size_t pos) {
  if (text[pos] == ' ') return 1;
  const std::string_view blank = fullWidthBlank();
  return text.substr(pos).starts_with(blank) ? blank.size() : 0;
}

char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Whether the characters of pattern equal those of text from pos, unit against unit.
bool matchesAt(std::string_view text, std::size_t pos, std::string_view pattern, bool ignoreCase) {
  for (std::size_t j = 0; j < pattern.size();) {
    if (pos >= text.size()) return false;
    const std::size_t patternUnit = characterLength(pattern, j);
    const std::size_t textUnit = characterLength(text, pos);
    if (patternUnit != textUnit) return false;
    if (patternUnit == 1 && ignoreCase) {
      if (asciiLower(text[pos]) != asciiLower(pattern[j])) return false;
    } else if (text.substr(pos, textUnit) != pattern.substr(j, patternUnit)) {
      return false;
    }
    pos += textUnit;
    j += patternUnit;
  }
  return true;
}

}  // namespace

std::string programTextFromUtf8(std::string_view utf8) {
  return fromUtf8(utf8).value_or(std::string());
}

std::string doubledQuotes(std::string_view text, char quote) {
  std::string doubled;
  doubled.reserve(text.size());
  for (const char c : text) {
    doubled += c;
    if (c == quote) doubled += quote;
  }
  return doubled;
}

std::string dateTimeText(int year, int month, int day, int hour, int minute, int second) {
  const auto number = [](int value) { return std::to_string(value); };
  std::string text = number(year) + programTextFromUtf8("年") + number(month) +
                     programTextFromUtf8("月") + number(day) + programTextFromUtf8("日");
  if (second != 0)
    text += number(hour) + programTextFromUtf8("时") + number(minute) + programTextFromUtf8("分") +
            number(second) + programTextFromUtf8("秒");
  else if (minute != 0)
    text += number(hour) + programTextFromUtf8("时") + number(minute) + programTextFromUtf8("分");
  else if (hour != 0)
    text += number(hour) + programTextFromUtf8("时");
  return text;
}

std::size_t characterLength(std::string_view text, std::size_t pos) {
  const unsigned char lead = byteAt(text, pos);
  if (lead < 0x80) return 1;
  const std::size_t left = text.size() - pos;
  if (!programCodePageIsUtf8()) {
    if (!isDoubleByteLead(lead) || left < 2) return 1;  // a lead at the very end stands alone
    if (left >= 4 && isDigit(byteAt(text, pos + 1)) && isDoubleByteLead(byteAt(text, pos + 2)) &&
        isDigit(byteAt(text, pos + 3)))
      return 4;
    return 2;  // a lead byte takes whatever follows
  }
  // A cut-off or malformed sequence takes only the continuation bytes actually present,
  // so it never swallows the ASCII that follows.
  const std::size_t expected = utf8SequenceLength(lead);
  std::size_t length = 1;
  while (length < expected && length < left && isUtf8Continuation(byteAt(text, pos + length)))
    ++length;
  return length;
}

std::string_view trimBlanks(std::string_view text) {
  std::size_t begin = 0;
  while (begin < text.size()) {
    const std::size_t blank = blankLength(text, begin);
    if (blank == 0) break;
    begin += blank;
  }
  // Walk forward to the end of the last non-blank character: reading backwards could
  // take the trail byte of one character and the lead of the next for a blank.
  std::size_t end = begin;
  for (std::size_t pos = begin; pos < text.size();) {
    const std::size_t blank = blankLength(text, pos);
    pos += blank > 0 ? blank : characterLength(text, pos);
    if (blank == 0) end = pos;
  }
  return text.substr(begin, end - begin);
}

// Character by character: the trail byte of a two-byte character may look like an ASCII
// letter, and folding it would make two different characters equal.
bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && matchesAt(a, 0, b, true);
}

bool startsWithIgnoringAsciiCase(std::string_view text, std::string_view word) {
  return matchesAt(text, 0, word, true);
}

int findText(std::string_view text, std::string_view pattern, int from, bool ignoreCase) {
  if (pattern.empty()) return -1;
  const std::size_t first = from > 1 ? static_cast<std::size_t>(from - 1) : 0;
  for (std::size_t pos = 0; pos < text.size(); pos += characterLength(text, pos))
    if (pos >= first && matchesAt(text, pos, pattern, ignoreCase)) return static_cast<int>(pos) + 1;
  return -1;
}

bool isSelfContainedName(std::string_view name) {
  char closing = 0;
  // Whole characters: a GBK trail byte can look like "[" or "`".
  for (std::size_t at = 0; at < name.size(); at += characterLength(name, at)) {
    const char c = name[at];
    const char next = at + 1 < name.size() ? name[at + 1] : '\0';
    if (closing) {
      if (c == closing) closing = 0;
      continue;
    }
    if (c == ';' || (c == '-' && next == '-') || (c == '/' && next == '*')) return false;
    if (c == '\'' || c == '"' || c == '`') closing = c;
    if (c == '[') closing = ']';
  }
  return closing == 0;
}

}  // namespace tabulor
