#pragma once

#include <string_view>

#include "editing/export/automation.h"
#include "editing/export/spreadsheet_desktop.h"

namespace tabulor {

// The in-process "Excel.Application": an application object over an in-memory workbook
// model. When the program lets go of the last of its objects, every workbook of a
// visible application is written as .xlsx to the desktop's folder and handed to the
// desktop's spreadsheet application, which from then on belongs to the user. Empty
// when the desktop has no application for .xlsx files.
AutomationObject createSpreadsheetApplication(SpreadsheetDesktop desktop);

// The automation object registered under a ProgID (ignoring case): "Excel.Application"
// on the user's desktop; empty for every other name.
AutomationObject createAutomationObject(std::string_view progId);

}  // namespace tabulor
