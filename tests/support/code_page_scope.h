#pragma once

#include <string>

#include <gtest/gtest.h>

#include "sqlitedb/codepage.h"

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

}  // namespace tabulor::testing
