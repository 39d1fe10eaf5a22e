// TextTable, rows by columns of program text, with the cells that were cut.
#pragma once

#include <string>
#include <vector>

namespace tabulor {

// Rows x columns of program text; the empty table has no rows and no columns.
class TextTable {
 public:
  TextTable() = default;
  TextTable(int rows, int columns);

  int rowCount() const { return rows_; }
  int columnCount() const { return columns_; }
  bool isEmpty() const { return rows_ == 0; }

  const std::string& cell(int row, int column) const;
  std::string& cell(int row, int column);

  // A cut cell holds only the start of its value (see SqliteDataset::fetchAllText).
  void markCut(int row, int column);
  bool isCut(int row, int column) const;

 private:
  std::size_t indexOf(int row, int column) const;

  int rows_ = 0;
  int columns_ = 0;
  std::vector<std::string> cells_;
  std::vector<bool> cut_;  // empty until a cell is cut
};

}  // namespace tabulor
