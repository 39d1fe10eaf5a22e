// The text converter on Windows: MultiByteToWideChar and WideCharToMultiByte by code page
// number, and the system's ANSI code page.

#include <windows.h>

#include <cctype>
#include <charconv>
#include <optional>

#include "sqlitedb/text_converter.h"

namespace tabulor {
namespace {

// The two UTF-16 byte orders are converted here; the system functions take only the
// machine's own, as wide characters.
constexpr UINT kUtf16Le = 1200;
constexpr UINT kUtf16Be = 1201;
constexpr UINT kGb18030 = 54936;

std::string upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// The code page number of an encoding name: the names the program and its files use, and
// any "CPnnn" or "WINDOWS-nnn".
std::optional<UINT> codePageNumber(const std::string& encoding) {
  const std::string name = upper(encoding);
  struct Known {
    const char* name;
    UINT number;
  };
  static constexpr Known kKnown[] = {
      {"UTF-8", CP_UTF8},     {"UTF8", CP_UTF8},      {"GBK", 936},          {"GB2312", 936},
      {"GB18030", kGb18030},  {"BIG5", 950},          {"SHIFT_JIS", 932},    {"EUC-KR", 949},
      {"UTF-16LE", kUtf16Le}, {"UTF-16BE", kUtf16Be}, {"ISO-8859-1", 28591}, {"LATIN1", 28591},
      {"US-ASCII", 20127},    {"ASCII", 20127},
  };
  for (const Known& known : kKnown) {
    if (name != known.name) continue;
    // Where the system lacks GB18030 (Wine does), its two-byte part, GBK, reads and writes
    // every character of the files such systems make.
    if (known.number == kGb18030 && !IsValidCodePage(kGb18030)) return 936;
    return known.number;
  }
  for (const std::string_view prefix : {"CP", "WINDOWS-"}) {
    if (name.rfind(prefix, 0) != 0) continue;
    UINT number = 0;
    const char* first = name.data() + prefix.size();
    const char* last = name.data() + name.size();
    const auto [end, error] = std::from_chars(first, last, number);
    if (error == std::errc() && end == last && first != last) return number;
  }
  return std::nullopt;
}

bool isUtf16(UINT codePage) { return codePage == kUtf16Le || codePage == kUtf16Be; }

// The length of the longest prefix of whole characters in a multi-byte code page.
std::size_t wholeCharacters(UINT codePage, std::string_view bytes) {
  std::size_t at = 0;
  while (at < bytes.size()) {
    const auto lead = static_cast<unsigned char>(bytes[at]);
    std::size_t length = 1;
    if (codePage == CP_UTF8) {
      length = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    } else if (codePage == kGb18030) {
      if (lead >= 0x81 && lead <= 0xFE) {
        if (at + 1 >= bytes.size()) return at;
        const auto second = static_cast<unsigned char>(bytes[at + 1]);
        length = second >= 0x30 && second <= 0x39 ? 4 : 2;
      }
    } else if (IsDBCSLeadByteEx(codePage, lead)) {
      length = 2;
    }
    if (at + length > bytes.size()) return at;
    at += length;
  }
  return at;
}

// The length of the longest prefix of whole UTF-16 characters (no lone first half of a pair).
std::size_t wholeUtf16(const std::wstring& wide) {
  if (wide.empty()) return 0;
  const wchar_t last = wide.back();
  return last >= 0xD800 && last <= 0xDBFF ? wide.size() - 1 : wide.size();
}

std::optional<std::wstring> toWide(UINT codePage, std::string_view bytes) {
  if (bytes.empty()) return std::wstring();
  const int size = static_cast<int>(bytes.size());
  const int length =
      MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
  if (length <= 0) return std::nullopt;
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, wide.data(), length);
  return wide;
}

// False when a character has no place in the code page (never a best-fit look-alike).
bool appendFromWide(UINT codePage, std::wstring_view wide, std::string& out) {
  if (wide.empty()) return true;
  const bool strict = codePage == CP_UTF8 || codePage == kGb18030;
  const DWORD flags = strict ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  BOOL* usedDefaultOut = strict ? nullptr : &usedDefault;
  const int size = static_cast<int>(wide.size());
  const int length =
      WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, nullptr, usedDefaultOut);
  if (length <= 0 || usedDefault) return false;
  const std::size_t before = out.size();
  out.resize(before + static_cast<std::size_t>(length));
  WideCharToMultiByte(codePage, flags, wide.data(), size, out.data() + before, length, nullptr,
                      nullptr);
  return true;
}

std::wstring utf16FromBytes(std::string_view bytes, bool bigEndian) {
  std::wstring wide(bytes.size() / 2, L'\0');
  for (std::size_t i = 0; i < wide.size(); ++i) {
    const auto first = static_cast<unsigned char>(bytes[2 * i]);
    const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
    wide[i] = static_cast<wchar_t>(bigEndian ? first << 8 | second : second << 8 | first);
  }
  return wide;
}

void appendUtf16Bytes(std::wstring_view wide, bool bigEndian, std::string& out) {
  for (const wchar_t unit : wide) {
    const auto high = static_cast<char>(unit >> 8);
    const auto low = static_cast<char>(unit & 0xFF);
    out += bigEndian ? high : low;
    out += bigEndian ? low : high;
  }
}

}  // namespace

std::string systemCodePage() {
  const UINT ansi = GetACP();
  return ansi == CP_UTF8 ? "UTF-8" : "CP" + std::to_string(ansi);
}

struct TextConverter::State {
  std::optional<UINT> codePage;
  Direction direction;
};

TextConverter::TextConverter(const std::string& encoding, Direction direction)
    : state_(std::make_unique<State>(State{codePageNumber(encoding), direction})) {
  CPINFO info;
  if (state_->codePage && !isUtf16(*state_->codePage) && !GetCPInfo(*state_->codePage, &info))
    state_->codePage.reset();
}

TextConverter::~TextConverter() = default;

bool TextConverter::valid() const { return state_->codePage.has_value(); }

bool TextConverter::convert(std::string_view& input, std::string& out) {
  if (!valid()) return false;
  const UINT codePage = *state_->codePage;
  const bool bigEndian = codePage == kUtf16Be;
  std::wstring wide;
  if (state_->direction == Direction::ToUtf8 && isUtf16(codePage)) {
    wide = utf16FromBytes(input, bigEndian);
    wide.resize(wholeUtf16(wide));
    input.remove_prefix(wide.size() * 2);
    return appendFromWide(CP_UTF8, wide, out);
  }
  const UINT from = state_->direction == Direction::ToUtf8 ? codePage : CP_UTF8;
  const std::size_t whole = wholeCharacters(from, input);
  const std::optional<std::wstring> decoded = toWide(from, input.substr(0, whole));
  if (!decoded) return false;
  input.remove_prefix(whole);
  if (state_->direction == Direction::ToUtf8) return appendFromWide(CP_UTF8, *decoded, out);
  if (!isUtf16(codePage)) return appendFromWide(codePage, *decoded, out);
  appendUtf16Bytes(*decoded, bigEndian, out);
  return true;
}

}  // namespace tabulor
