// The main of the Qt-free test programs. Program text is UTF-8 whatever the system's code page,
// since the tests' expected texts are written in it; the tests of the Chinese code page set
// that one themselves.
#include <gtest/gtest.h>

#include "sqlitedb/codepage.h"

int main(int argc, char** argv) {
  tabulor::setProgramCodePage("UTF-8");
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
