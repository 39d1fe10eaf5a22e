#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <string_view>

#include "editing/export/automation.h"
#include "editing/export/spreadsheet_application.h"
#include "sqlitedb/text_table.h"

namespace tabulor {

// A message box the window shows: UTF-8 text, its title (empty: the default title) and
// the message-box flags.
struct ExportMessage {
  std::string text;
  std::string title;
  int flags = 0;
  bool operator==(const ExportMessage&) const = default;
};

struct ExportEnvironment {
  std::function<AutomationObject(std::string_view progId)> createObject = createAutomationObject;
  std::function<std::int64_t()> nowSeconds = [] { return std::int64_t{std::time(nullptr)}; };
  // Lets the window repaint and take clicks while a large grid is copied.
  std::function<void()> processEvents = [] {};
};

// "导出表格": copies the grid as it is shown — the header row of column names, the "序号"
// column and every data row, as program text — into a new workbook of the spreadsheet
// application, formats it and leaves it open there. Answers the message to show.
ExportMessage exportGridToSpreadsheet(const TextTable& grid, const ExportEnvironment& environment);

}  // namespace tabulor
