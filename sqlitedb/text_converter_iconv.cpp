// The text converter on Linux: glibc's iconv and the locale's charset.

#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

#include <cerrno>

#include "sqlitedb/text_converter.h"

namespace tabulor {
namespace {

const iconv_t kInvalid = reinterpret_cast<iconv_t>(-1);

// The C locale's charset cannot hold Chinese text at all; UTF-8 is its superset
// and what every other tool on such a system assumes.
bool namesAscii(const std::string& name) {
  return name == "ANSI_X3.4-1968" || name == "ASCII" || name == "US-ASCII";
}

}  // namespace

std::string systemCodePage() {
  locale_t locale = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(0));
  if (locale == static_cast<locale_t>(0)) return "UTF-8";
  std::string name = nl_langinfo_l(CODESET, locale);
  freelocale(locale);
  return name.empty() || namesAscii(name) ? "UTF-8" : name;
}

struct TextConverter::State {
  iconv_t handle = kInvalid;
};

TextConverter::TextConverter(const std::string& encoding, Direction direction)
    : state_(std::make_unique<State>()) {
  state_->handle = direction == Direction::ToUtf8 ? iconv_open("UTF-8", encoding.c_str())
                                                  : iconv_open(encoding.c_str(), "UTF-8");
}

TextConverter::~TextConverter() {
  if (state_->handle != kInvalid) iconv_close(state_->handle);
}

bool TextConverter::valid() const { return state_->handle != kInvalid; }

bool TextConverter::convert(std::string_view& input, std::string& out) {
  if (!valid()) return false;
  char* in = const_cast<char*>(input.data());
  std::size_t inLeft = input.size();
  while (inLeft > 0) {
    const std::size_t before = out.size();
    const std::size_t room = inLeft * 2 + 16;
    out.resize(before + room);
    char* to = out.data() + before;
    std::size_t toLeft = room;
    const std::size_t result = iconv(state_->handle, &in, &inLeft, &to, &toLeft);
    out.resize(before + (room - toLeft));
    if (result != static_cast<std::size_t>(-1)) break;
    if (errno == E2BIG) continue;
    if (errno == EINVAL) break;  // an unfinished character: it waits for more bytes
    iconv(state_->handle, nullptr, nullptr, nullptr, nullptr);
    input = std::string_view(in, inLeft);
    return false;
  }
  input = std::string_view(in, inLeft);
  return true;
}

}  // namespace tabulor
