#pragma once

#include <string>

#include <gtest/gtest.h>

#include "sqlitedb/codepage.h"
#include "sqlitedb/text_converter.h"

namespace tabulor::testing {

// Switches the program code page for one scope and returns to UTF-8 after it.
class CodePageScope {
 public:
  explicit CodePageScope(const std::string& codePage) {
    EXPECT_TRUE(setProgramCodePage(codePage)) << codePage;
  }
  ~CodePageScope() { setProgramCodePage("UTF-8"); }
  CodePageScope(const CodePageScope&) = delete;
  CodePageScope& operator=(const CodePageScope&) = delete;
};

// Whether the system converts GB18030's four-byte form. Wine has no GB18030: the program lends
// GBK for it there, which reads the two-byte form only.
inline bool fourByteGb18030Offered() {
  TextConverter converter("GB18030", TextConverter::Direction::ToUtf8);
  std::string_view bytes = "\x94\x39\xFC\x36";  // U+1F600
  std::string utf8;
  return converter.convert(bytes, utf8) && bytes.empty();
}

}  // namespace tabulor::testing
