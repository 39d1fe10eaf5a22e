// Converting between a named encoding and UTF-8, as the system offers it: iconv on Linux, the
// Win32 code page functions on Windows. The only place besides Qt that converts encodings.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace tabulor {

// The code page of the user's system as the converter names it: the locale's charset on
// Linux ("UTF-8", "GBK"), the ANSI code page on Windows ("CP936"); "UTF-8" where the
// system's cannot hold Chinese at all.
std::string systemCodePage();

// One conversion, by encoding name ("UTF-8", "GBK", "GB18030", "UTF-16LE", "UTF-16BE", and
// on each system its own further names). Not shareable between threads.
class TextConverter {
 public:
  enum class Direction { ToUtf8, FromUtf8 };

  TextConverter(const std::string& encoding, Direction direction);
  ~TextConverter();
  TextConverter(const TextConverter&) = delete;
  TextConverter& operator=(const TextConverter&) = delete;

  // False when the system does not know the encoding.
  bool valid() const;
  // Converts as much of input as forms whole characters, appending to out; input keeps
  // what is left (the start of a character that continues in the next piece). False at a
  // sequence that is not text in the source encoding, or a character the target lacks.
  bool convert(std::string_view& input, std::string& out);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace tabulor
