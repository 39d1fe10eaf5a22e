// The console's template file: text read up to its first zero byte, split at CR LF.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tabulor {

// The console's template file: program text, one template per line, CR LF between lines.
inline constexpr std::string_view kSqlTemplateFileName = "SQL模板.txt";

// Splits program text at every CR LF. Every piece before a separator is kept, even an
// empty one; the piece after the last separator only when it is not empty. Only the
// text before the first zero byte counts.
std::vector<std::string> splitTemplateText(std::string_view text);

// The bytes of a file up to its first zero byte; nullopt when it cannot be read.
std::optional<std::string> readTextUpToZero(const std::filesystem::path& file);

// The templates of a template file; a missing or unreadable file gives none. A file that is
// not valid program text but valid GB18030 is read as GB18030.
std::vector<std::string> readTemplateFile(const std::filesystem::path& file);

}  // namespace tabulor
