// Handing a workbook to the Linux desktop through xdg-open.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "editing/export/spreadsheet_desktop.h"
#include "support/temp_dir.h"

namespace tabulor {
namespace {

// The desktop opener reports what xdg-open answers within its moment; a stand-in xdg-open
// on PATH gives the answer.
TEST(DesktopOpener, ReportsAnOpenerThatFails) {
  tabulor::testing::TempDir dir;
  const std::string savedPath = std::getenv("PATH") ? std::getenv("PATH") : "";
  setenv("PATH", (dir.path().string() + ":" + savedPath).c_str(), 1);
  for (const auto& [exitCode, handed] : {std::pair{0, true}, std::pair{3, false}}) {
    const std::string opener = dir.file("xdg-open");
    std::ofstream(opener) << "#!/bin/sh\n[ -f \"$1\" ] && exit " << exitCode << "\nexit 9\n";
    std::filesystem::permissions(opener, std::filesystem::perms::owner_all);
    std::ofstream(dir.file("book.xlsx")) << "x";
    EXPECT_EQ(openWithDesktop(dir.path() / "book.xlsx"), handed) << exitCode;
  }
  setenv("PATH", savedPath.c_str(), 1);
}

}  // namespace
}  // namespace tabulor
