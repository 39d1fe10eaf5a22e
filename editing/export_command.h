#pragma once

#include "editing/export/export_grid.h"
#include "sqlitedb/text_table.h"

namespace tabulor {

class EGrid;
class MainWindow;

// Every cell the grid shows, its fixed header row and number column included.
TextTable shownGridCells(const EGrid& grid);

// "导出表格": the main grid into a new workbook of the spreadsheet application, then
// the outcome in a message box.
void exportMainGrid(MainWindow& window, const ExportEnvironment& environment);

}  // namespace tabulor
