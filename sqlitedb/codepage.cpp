// Program text and the engine's UTF-8: the process code page and the conversions through iconv.

#include "sqlitedb/codepage.h"

#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

#include <atomic>
#include <cerrno>
#include <mutex>

#include "sqlitedb/text_scanning.h"

namespace tabulor {
namespace {

bool namesUtf8(std::string_view name) {
  return equalsIgnoringAsciiCase(name, "UTF-8") || equalsIgnoringAsciiCase(name, "UTF8");
}

// The C locale's charset cannot hold Chinese text at all; UTF-8 is its superset
// and what every other tool on such a system assumes.
bool namesAscii(const std::string& name) {
  return name == "ANSI_X3.4-1968" || name == "ASCII" || name == "US-ASCII";
}

std::string localeCodePage() {
  locale_t locale = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(0));
  if (locale == static_cast<locale_t>(0)) return "UTF-8";
  std::string name = nl_langinfo_l(CODESET, locale);
  freelocale(locale);
  return name.empty() || namesAscii(name) ? "UTF-8" : name;
}

struct CodePage {
  std::mutex mutex;
  std::string name;
  std::atomic<bool> isUtf8{true};
  std::atomic<unsigned> generation{0};
};

CodePage& codePage() {
  static CodePage* page = [] {
    auto* created = new CodePage;
    created->name = localeCodePage();
    created->isUtf8 = namesUtf8(created->name);
    return created;
  }();
  return *page;
}

bool iconvKnows(const std::string& name) {
  for (auto [to, from] : {std::pair{"UTF-8", name.c_str()}, std::pair{name.c_str(), "UTF-8"}}) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    iconv_close(cd);
  }
  return true;
}

// iconv descriptors are costly to open and not shareable between threads: each
// thread keeps its own pair, reopened when the code page changes.
class Converters {
 public:
  ~Converters() { reset(); }

  iconv_t toUtf8() { return refreshed() ? toUtf8_ : invalid(); }
  iconv_t fromUtf8() { return refreshed() ? fromUtf8_ : invalid(); }

 private:
  static iconv_t invalid() { return reinterpret_cast<iconv_t>(-1); }

  bool refreshed() {
    CodePage& page = codePage();
    const unsigned current = page.generation.load();
    if (current != generation_ || toUtf8_ == invalid()) {
      reset();
      std::lock_guard lock(page.mutex);
      toUtf8_ = iconv_open("UTF-8", page.name.c_str());
      fromUtf8_ = iconv_open(page.name.c_str(), "UTF-8");
      generation_ = current;
    }
    return toUtf8_ != invalid() && fromUtf8_ != invalid();
  }

  void reset() {
    if (toUtf8_ != invalid()) iconv_close(toUtf8_);
    if (fromUtf8_ != invalid()) iconv_close(fromUtf8_);
    toUtf8_ = fromUtf8_ = invalid();
  }

  unsigned generation_ = 0;
  iconv_t toUtf8_ = invalid();
  iconv_t fromUtf8_ = invalid();
};

std::optional<std::string> convert(iconv_t cd, std::string_view input) {
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  std::string output(input.size() * 2 + 8, '\0');
  char* in = const_cast<char*>(input.data());
  std::size_t inLeft = input.size();
  std::size_t written = 0;
  while (true) {
    char* out = output.data() + written;
    std::size_t outLeft = output.size() - written;
    const std::size_t result = iconv(cd, inLeft ? &in : nullptr, &inLeft, &out, &outLeft);
    written = output.size() - outLeft;
    if (result != static_cast<std::size_t>(-1)) {
      if (inLeft == 0) break;
      continue;
    }
    if (errno != E2BIG) return std::nullopt;
    output.resize(output.size() * 2);
  }
  output.resize(written);
  return output;
}

Converters& threadConverters() {
  thread_local Converters converters;
  return converters;
}

std::string_view untilZero(std::string_view text) { return text.substr(0, text.find('\0')); }

unsigned char byteAt(std::string_view text, std::size_t i) {
  return static_cast<unsigned char>(text[i]);
}

// Length of the valid UTF-8 sequence starting at i, or 0.
std::size_t sequenceLength(std::string_view text, std::size_t i) {
  const unsigned char lead = byteAt(text, i);
  if (lead < 0x80) return 1;
  std::size_t length;
  unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // overlong
    if (lead == 0xED) high = 0x9F;  // surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;   // overlong
    if (lead == 0xF4) high = 0x8F;  // above U+10FFFF
  } else {
    return 0;
  }
  if (i + length > text.size()) return 0;
  const unsigned char second = byteAt(text, i + 1);
  if (second < low || second > high) return 0;
  for (std::size_t k = 2; k < length; ++k)
    if ((byteAt(text, i + k) & 0xC0) != 0x80) return 0;
  return length;
}

// glibc's converters skip the Unicode tag characters U+E0000..U+E007F that the target
// code page lacks instead of refusing them; in valid UTF-8 these bytes start nothing else.
bool holdsTagCharacter(std::string_view utf8) {
  return utf8.find("\xF3\xA0\x80") != std::string_view::npos ||
         utf8.find("\xF3\xA0\x81") != std::string_view::npos;
}

// A byte as the escaping conversion marks it: \xEF.
std::string escapedByte(char byte) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  const auto value = static_cast<unsigned char>(byte);
  return {'\\', 'x', kDigits[value >> 4], kDigits[value & 0xF]};
}

std::string escapedBytes(std::string_view bytes) {
  std::string escaped;
  for (char byte : bytes) escaped += escapedByte(byte);
  return escaped;
}

}  // namespace

bool setProgramCodePage(const std::string& iconvName) {
  if (iconvName.empty() || !iconvKnows(iconvName)) return false;
  CodePage& page = codePage();
  {
    std::lock_guard lock(page.mutex);
    page.name = iconvName;
  }
  page.isUtf8 = namesUtf8(iconvName);
  ++page.generation;
  return true;
}

std::string programCodePage() {
  CodePage& page = codePage();
  std::lock_guard lock(page.mutex);
  return page.name;
}

bool programCodePageIsUtf8() { return codePage().isUtf8; }

bool isValidUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    if (byteAt(text, i) < 0x80) {
      ++i;
      continue;
    }
    const std::size_t length = sequenceLength(text, i);
    if (length == 0) return false;
    i += length;
  }
  return true;
}

std::string_view utf8Prefix(std::string_view utf8, std::size_t maxBytes) {
  if (utf8.size() <= maxBytes) return utf8;
  std::size_t end = maxBytes;
  while (end > 0 && (byteAt(utf8, end) & 0xC0) == 0x80) --end;
  return utf8.substr(0, end);
}

std::optional<std::string> toUtf8(std::string_view programText) {
  const std::string_view text = untilZero(programText);
  if (text.empty()) return std::string();
  if (programCodePageIsUtf8()) {
    if (!isValidUtf8(text)) return std::nullopt;
    return std::string(text);
  }
  return convert(threadConverters().toUtf8(), text);
}

std::optional<std::string> fromUtf8(std::string_view utf8) {
  const std::string_view text = untilZero(utf8);
  if (text.empty()) return std::string();
  if (!isValidUtf8(text)) return std::nullopt;
  if (programCodePageIsUtf8()) return std::string(text);
  auto converted = convert(threadConverters().fromUtf8(), text);
  // A code page that holds the tag characters (GB18030) converts them both ways.
  if (converted && holdsTagCharacter(text) && toUtf8(*converted) != text) return std::nullopt;
  return converted;
}

std::string fromUtf8Escaping(std::string_view utf8) {
  const std::string_view text = untilZero(utf8);
  if (auto whole = fromUtf8(text)) return std::move(*whole);
  std::string converted;
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t length = sequenceLength(text, at);
    if (length == 0) {
      converted += escapedByte(text[at++]);
      continue;
    }
    // One character at a time, so only what does not convert is marked.
    const std::string_view character = text.substr(at, length);
    const auto program = fromUtf8(character);
    converted += program ? *program : escapedBytes(character);
    at += length;
  }
  return converted;
}

std::optional<std::string> fileTextAsProgramText(std::string_view bytes) {
  const std::string_view text = untilZero(bytes);
  if (toUtf8(text)) return std::string(text);
  const iconv_t legacy = iconv_open("UTF-8", "GB18030");
  if (legacy == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  const std::optional<std::string> utf8 = convert(legacy, text);
  iconv_close(legacy);
  if (!utf8) return std::nullopt;
  return fromUtf8(*utf8);
}

}  // namespace tabulor
