#pragma once

#include <cstddef>
#include <string_view>

namespace tabulor {

// Byte-level scanning of program text that never splits a multi-byte character:
// UTF-8 sequences or, in a double-byte code page such as GBK, lead + trail pairs.

// Length in bytes of the character starting at byte pos (pos < text.size()).
std::size_t characterLength(std::string_view text, std::size_t pos);

// Removes ASCII blanks and the full-width blank U+3000 at both ends; tabs and line
// breaks stay.
std::string_view trimBlanks(std::string_view text);

// Whether text begins with word, ASCII letters compared without regard to case.
bool startsWithIgnoringAsciiCase(std::string_view text, std::string_view word);

}  // namespace tabulor
