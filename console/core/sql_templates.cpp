// The console's template file: text read up to its first zero byte, split at CR LF.

#include "console/core/sql_templates.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "sqlitedb/codepage.h"
#include "sqlitedb/text_scanning.h"

namespace tabulor {

std::vector<std::string> splitTemplateText(std::string_view text) {
  text = text.substr(0, text.find('\0'));
  std::vector<std::string> pieces;
  std::size_t pieceStart = 0;
  std::size_t pos = 0;
  while (pos < text.size()) {
    if (text.substr(pos).starts_with("\r\n")) {
      pieces.emplace_back(text.substr(pieceStart, pos - pieceStart));
      pos += 2;
      pieceStart = pos;
    } else {
      pos += characterLength(text, pos);
    }
  }
  if (pieceStart < text.size()) pieces.emplace_back(text.substr(pieceStart));
  return pieces;
}

std::optional<std::string> readTextUpToZero(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) return std::nullopt;
  bytes.resize(std::min(bytes.size(), bytes.find('\0')));
  return bytes;
}

std::vector<std::string> readTemplateFile(const std::filesystem::path& file) {
  const std::string bytes = readTextUpToZero(file).value_or(std::string());
  return splitTemplateText(fileTextAsProgramText(bytes).value_or(bytes));
}

}  // namespace tabulor
