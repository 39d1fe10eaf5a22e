// Program text and the engine's UTF-8: the process code page and the conversions at the engine.

#include "sqlitedb/codepage.h"

#include <atomic>
#include <mutex>
#include <optional>

#include "sqlitedb/text_converter.h"
#include "sqlitedb/text_scanning.h"

namespace tabulor {
namespace {

bool namesUtf8(std::string_view name) {
  return equalsIgnoringAsciiCase(name, "UTF-8") || equalsIgnoringAsciiCase(name, "UTF8");
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
    created->name = systemCodePage();
    created->isUtf8 = namesUtf8(created->name);
    return created;
  }();
  return *page;
}

bool codePageKnown(const std::string& name) {
  return TextConverter(name, TextConverter::Direction::ToUtf8).valid() &&
         TextConverter(name, TextConverter::Direction::FromUtf8).valid();
}

// Converters are costly to open and not shareable between threads: each thread keeps
// its own pair, reopened when the code page changes.
class Converters {
 public:
  TextConverter* toUtf8() { return refreshed() ? &toUtf8_.value() : nullptr; }
  TextConverter* fromUtf8() { return refreshed() ? &fromUtf8_.value() : nullptr; }

 private:
  bool refreshed() {
    CodePage& page = codePage();
    const unsigned current = page.generation.load();
    if (current != generation_ || !toUtf8_) {
      std::lock_guard lock(page.mutex);
      toUtf8_.emplace(page.name, TextConverter::Direction::ToUtf8);
      fromUtf8_.emplace(page.name, TextConverter::Direction::FromUtf8);
      generation_ = current;
    }
    return toUtf8_->valid() && fromUtf8_->valid();
  }

  unsigned generation_ = 0;
  std::optional<TextConverter> toUtf8_;
  std::optional<TextConverter> fromUtf8_;
};

// The whole text converted, or nullopt (a fault, or a character cut off at the end).
std::optional<std::string> convert(TextConverter* converter, std::string_view input) {
  std::string output;
  output.reserve(input.size() * 2 + 8);
  if (!converter || !converter->convert(input, output) || !input.empty()) return std::nullopt;
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

bool setProgramCodePage(const std::string& name) {
  if (name.empty() || !codePageKnown(name)) return false;
  CodePage& page = codePage();
  {
    std::lock_guard lock(page.mutex);
    page.name = name;
  }
  page.isUtf8 = namesUtf8(name);
  ++page.generation;
  return true;
}

std::string programCodePage() {
  CodePage& page = codePage();
  std::lock_guard lock(page.mutex);
  return page.name;
}

bool programCodePageIsUtf8() { return codePage().isUtf8; }

std::filesystem::path pathFromUtf8(std::string_view utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string utf8FromPath(const std::filesystem::path& path) {
  const std::u8string utf8 = path.u8string();
  return std::string(utf8.begin(), utf8.end());
}

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
  TextConverter legacy("GB18030", TextConverter::Direction::ToUtf8);
  const std::optional<std::string> utf8 = convert(&legacy, text);
  if (!utf8) return std::nullopt;
  return fromUtf8(*utf8);
}

}  // namespace tabulor
