// TextTable's cells, kept row by row in one vector.

#include "sqlitedb/text_table.h"

#include <cassert>
#include <utility>

namespace tabulor {

TextTable::TextTable(int rows, int columns)
    : rows_(rows > 0 && columns > 0 ? rows : 0),
      columns_(rows_ > 0 ? columns : 0),
      cells_(static_cast<std::size_t>(rows_) * static_cast<std::size_t>(columns_)) {}

std::size_t TextTable::indexOf(int row, int column) const {
  assert(row >= 0 && row < rows_ && column >= 0 && column < columns_);
  return static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_) +
         static_cast<std::size_t>(column);
}

const std::string& TextTable::cell(int row, int column) const {
  return cells_[indexOf(row, column)];
}

std::string& TextTable::cell(int row, int column) {
  return const_cast<std::string&>(std::as_const(*this).cell(row, column));
}

void TextTable::markCut(int row, int column) {
  if (cut_.empty()) cut_.resize(cells_.size());
  cut_[indexOf(row, column)] = true;
}

bool TextTable::isCut(int row, int column) const {
  return !cut_.empty() && cut_[indexOf(row, column)];
}

}  // namespace tabulor
