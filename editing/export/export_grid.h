// The export sequence: the shown grid into a new workbook through automation, after a size check.
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "editing/export/automation.h"
#include "editing/export/spreadsheet_application.h"
#include "report/notice.h"
#include "sqlitedb/text_table.h"

namespace tabulor {

struct ExportEnvironment {
  // Creates the application object; an application that hands the workbook to the user
  // itself reports into the report whether that failed.
  std::function<AutomationObject(std::string_view progId, HandoverReportPtr report)> createObject =
      createAutomationObject;
  std::function<std::int64_t()> nowSeconds = [] { return std::int64_t{std::time(nullptr)}; };
  // Called now and then while a large grid is copied, so the window stays alive; false
  // when the user cancelled, and then nothing reaches the user.
  std::function<bool()> keepGoing = [] { return true; };
  // Runs the last step, in which the application writes the workbook and hands it to the
  // user; it cannot be cancelled and may take seconds for a large grid.
  std::function<void(const std::function<void()>& step)> handOver =
      [](const std::function<void()>& step) { step(); };
};

// The warning for a grid of rows x columns (header row and "序号" column included) larger
// than a workbook of the application holds; nullopt when it fits. Asked before the grid is
// copied at all.
std::optional<Notice> exportSizeRefusal(std::int64_t rows, std::int64_t columns);

// "导出表格": copies the grid as it is shown — the header row of column names, the "序号"
// column and every data row, as program text — into a new workbook of the spreadsheet
// application, formats it and leaves it open there. Answers the message to show: a
// warning with the reason when the workbook never reached the user; nothing when the
// user cancelled.
std::optional<Notice> exportGridToSpreadsheet(const TextTable& grid,
                                              const ExportEnvironment& environment);

}  // namespace tabulor
