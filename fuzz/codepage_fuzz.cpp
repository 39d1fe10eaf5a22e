// libFuzzer target: toUtf8 and fromUtf8 under UTF-8 and GBK, and their round trip.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/code_page.h"
#include "sqlitedb/codepage.h"

namespace {

using tabulor::fuzz::check;

std::string_view untilZero(std::string_view text) { return text.substr(0, text.find('\0')); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input = tabulor::fuzz::takeCodePage(data, size);
  const std::string_view text = untilZero(input);
  const bool utf8Page = tabulor::programCodePageIsUtf8();

  // Program text to UTF-8: the result is strict UTF-8 and converts back to the same text.
  if (const auto utf8 = tabulor::toUtf8(input)) {
    check(tabulor::isValidUtf8(*utf8));
    if (utf8Page) check(*utf8 == text);
    const auto back = tabulor::fromUtf8(*utf8);
    check(back.has_value() && *back == text);
  } else {
    check(!utf8Page || !tabulor::isValidUtf8(text));
  }

  // UTF-8 to program text: refused exactly when the input is not strict UTF-8 (or, in
  // GBK, holds a character GBK lacks); what comes out converts back unchanged.
  if (const auto program = tabulor::fromUtf8(input)) {
    check(tabulor::isValidUtf8(text));
    const auto back = tabulor::toUtf8(*program);
    check(back.has_value() && *back == text);
  } else {
    check(!utf8Page || !tabulor::isValidUtf8(text));
  }

  // A cut never splits a sequence of valid UTF-8.
  if (tabulor::isValidUtf8(text)) {
    for (std::size_t limit :
         {std::size_t{0}, text.size() / 2, text.size() > 0 ? text.size() - 1 : 0})
      check(tabulor::isValidUtf8(tabulor::utf8Prefix(text, limit)));
  }
  return 0;
}
