// The command "导出表格": the main grid's shown cells into the spreadsheet export.
#pragma once

#include <functional>
#include <optional>

#include "editing/export/export_grid.h"
#include "sqlitedb/text_table.h"

namespace tabulor {

class EGrid;
class HostWindow;

// Every cell the grid shows, its fixed header row and number column included; nothing
// when keepGoing, asked now and then, answers false.
std::optional<TextTable> shownGridCells(
    const EGrid& grid, const std::function<bool()>& keepGoing = [] { return true; });

// "导出表格": the main grid into a new workbook of the spreadsheet application, then
// the outcome in a message box. A large grid shows a progress dialog whose 取消 stops
// the export before the workbook is written.
void exportMainGrid(HostWindow& window, ExportEnvironment environment);

}  // namespace tabulor
