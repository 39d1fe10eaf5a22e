#pragma once

namespace tabulor {

class EGrid;
class TextTable;

// Puts a table of texts into a grid: a header row fixed when hasHeaderRow, and a
// fixed "序号" column numbering the data rows from 1 when addNumberColumn.
void showTextTable(EGrid& grid, const TextTable& table, bool hasHeaderRow = false,
                   bool addNumberColumn = true);

}  // namespace tabulor
