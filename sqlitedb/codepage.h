// Program text and the engine's UTF-8: the process code page and the conversions at the engine.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tabulor {

// "Program text" is 8-bit text in the program code page (the locale's charset by
// default). The engine speaks UTF-8; these convert at that boundary.

// Sets the process-wide program code page by its name ("UTF-8", "GBK", ...; see
// text_converter.h). Returns false, keeping the current one, when the system does not know it.
bool setProgramCodePage(const std::string& name);
std::string programCodePage();
bool programCodePageIsUtf8();

// Text up to its first zero byte is converted; nullopt when the conversion fails.
std::optional<std::string> toUtf8(std::string_view programText);
std::optional<std::string> fromUtf8(std::string_view utf8);
// fromUtf8 for the engine's own words, which may quote bytes of a damaged file: what converts
// is converted, and every other byte is written as \xNN (an invalid byte, or a byte of a
// character the program code page lacks). Never empty unless the text is.
std::string fromUtf8Escaping(std::string_view utf8);

// The text of a file (up to its first zero byte) as program text: unchanged when it is valid
// in the program code page; otherwise decoded as GB18030, the legacy Chinese code page most
// such files are in. nullopt when it is neither, or holds what the program code page cannot.
std::optional<std::string> fileTextAsProgramText(std::string_view bytes);

// A path from its UTF-8 spelling and back, the same on every system: the engine names files
// in UTF-8, and a Windows path is UTF-16 underneath.
std::filesystem::path pathFromUtf8(std::string_view utf8);
std::string utf8FromPath(const std::filesystem::path& path);

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool isValidUtf8(std::string_view text);

// The longest prefix of at most maxBytes that does not split a UTF-8 sequence.
std::string_view utf8Prefix(std::string_view utf8, std::size_t maxBytes);

}  // namespace tabulor
