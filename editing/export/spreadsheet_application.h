// The in-process spreadsheet application the export drives, and the ProgID that makes it.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "editing/export/automation.h"
#include "editing/export/spreadsheet_desktop.h"

namespace tabulor {

// Why a finished workbook did not reach the user (UTF-8); empty while nothing failed.
struct HandoverReport {
  std::string failure;
};
using HandoverReportPtr = std::shared_ptr<HandoverReport>;

// The in-process "Excel.Application": an application object over an in-memory workbook
// model. When the program lets go of the last of its objects, every workbook of a
// visible application is written as .xlsx to the desktop's folder and handed to the
// desktop's spreadsheet application, which from then on belongs to the user; a failure
// of either step goes into the report (when given). Empty when the desktop has no
// application for .xlsx files.
AutomationObject createSpreadsheetApplication(SpreadsheetDesktop desktop,
                                              HandoverReportPtr report = nullptr);

// The automation object registered under a ProgID (ignoring case): "Excel.Application"
// on the user's desktop; empty for every other name.
AutomationObject createAutomationObject(std::string_view progId,
                                        HandoverReportPtr report = nullptr);

}  // namespace tabulor
