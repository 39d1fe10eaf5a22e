#include "console/program_text_scan.h"

#include "sqlitedb/codepage.h"

namespace tabulor {

namespace {

bool isUtf8Continuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

std::size_t utf8SequenceLength(unsigned char lead) {
  if (lead >= 0xC0 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF7) return 4;
  return 1;
}

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

}  // namespace

std::size_t characterLength(std::string_view text, std::size_t pos) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  if (lead < 0x80) return 1;
  if (!programCodePageIsUtf8()) {
    // A lead byte takes the next byte whatever it is; a lead at the very end stands alone.
    return (lead >= 0x81 && lead <= 0xFE && pos + 1 < text.size()) ? 2 : 1;
  }
  // A cut-off or malformed sequence takes only the continuation bytes actually present,
  // so it never swallows the ASCII that follows.
  const std::size_t expected = utf8SequenceLength(lead);
  std::size_t length = 1;
  while (length < expected && pos + length < text.size() &&
         isUtf8Continuation(static_cast<unsigned char>(text[pos + length])))
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

bool startsWithIgnoringAsciiCase(std::string_view text, std::string_view word) {
  if (text.size() < word.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i)
    if (asciiLower(text[i]) != asciiLower(word[i])) return false;
  return true;
}

}  // namespace tabulor
