// Where the in-process spreadsheet application meets the desktop: the workbook's name, and the
// system's probe, folder and opener together.

#include "editing/export/spreadsheet_desktop.h"

#include <string>
#include <system_error>

#include "sqlitedb/codepage.h"

namespace tabulor {

std::filesystem::path newWorkbookPath(const std::filesystem::path& folder, std::time_t when) {
  const std::tm local = localTime(when);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d_%H%M%S", &local);
  const std::string stem = std::string("导出表格_") + stamp;
  std::filesystem::path path = folder / pathFromUtf8(stem + ".xlsx");
  std::error_code error;
  for (int counter = 2; std::filesystem::exists(path, error); ++counter)
    path = folder / pathFromUtf8(stem + "_" + std::to_string(counter) + ".xlsx");
  return path;
}

SpreadsheetDesktop systemSpreadsheetDesktop() {
  return {xlsxHasDefaultApplication, openWithDesktop, workbookFolder()};
}

}  // namespace tabulor
