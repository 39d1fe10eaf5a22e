// libFuzzer target: splitting the console's template file into templates.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "console/core/sql_templates.h"
#include "fuzz/code_page.h"
#include "sqlitedb/codepage.h"

namespace {

using tabulor::fuzz::check;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input = tabulor::fuzz::takeCodePage(data, size);
  const std::string_view text = input.substr(0, input.find('\0'));
  const std::vector<std::string> pieces = tabulor::splitTemplateText(input);

  // The pieces joined by CR LF give the text back, less a final CR LF.
  std::string joined;
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    if (i > 0) joined += "\r\n";
    joined += pieces[i];
    check(pieces[i].find('\0') == std::string::npos);
    // CR and LF never sit inside a UTF-8 character, so every CR LF separates.
    if (tabulor::programCodePageIsUtf8()) check(pieces[i].find("\r\n") == std::string::npos);
  }
  check(text == joined || text == joined + "\r\n");
  check(!text.empty() || pieces.empty());
  return 0;
}
