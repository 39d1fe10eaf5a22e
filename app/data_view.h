// Filling a grid with a table of texts or with a query's rows.
#pragma once

namespace tabulor {

class EGrid;
class ResultRows;
class TextTable;

// Puts a table of texts into a grid: a header row fixed when hasHeaderRow, and a
// fixed "序号" column numbering the data rows from 1 when addNumberColumn.
void showTextTable(EGrid& grid, const TextTable& table, bool hasHeaderRow = false,
                   bool addNumberColumn = true);

// Shows a query's rows, headed by the column names, as showTextTable shows a table with
// a header row and the "序号" column. The grid reads the rows where they are kept.
void showResultRows(EGrid& grid, ResultRows rows);

}  // namespace tabulor
