// The in-memory workbook: sheets of formatted text cells, range references, column fitting.

#include "editing/export/spreadsheet_model.h"

#include <algorithm>
#include <cstddef>

namespace tabulor {
namespace {

std::optional<CellRange> parseCellReference(std::string_view text) {
  std::size_t at = 0;
  if (at < text.size() && text[at] == '$') ++at;
  int column = 0;
  std::size_t letters = 0;
  for (; at < text.size() && letters < 3; ++at, ++letters) {
    char c = text[at];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c < 'A' || c > 'Z') break;
    column = column * 26 + (c - 'A' + 1);
  }
  if (letters == 0) return std::nullopt;
  if (at < text.size() && text[at] == '$') ++at;
  int row = 0;
  std::size_t digits = 0;
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9' && digits < 7; ++at, ++digits)
    row = row * 10 + (text[at] - '0');
  if (digits == 0 || at != text.size()) return std::nullopt;
  if (row < 1 || row > kSheetRows || column > kSheetColumns) return std::nullopt;
  return CellRange{row, column, 1, 1};
}

bool isWide(char32_t c) {
  return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF && c != 0x303F) ||
         (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
         (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
         (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1F64F) ||
         (c >= 0x1F900 && c <= 0x1F9FF) || (c >= 0x20000 && c <= 0x3FFFD);
}

}  // namespace

std::optional<CellRange> parseRangeReference(std::string_view reference) {
  const std::size_t colon = reference.find(':');
  if (colon == std::string_view::npos) return parseCellReference(reference);
  auto first = parseCellReference(reference.substr(0, colon));
  auto last = parseCellReference(reference.substr(colon + 1));
  if (!first || !last) return std::nullopt;
  return spanning(*first, *last);
}

CellRange spanning(const CellRange& a, const CellRange& b) {
  const int row = std::min(a.row, b.row);
  const int column = std::min(a.column, b.column);
  return {row, column, std::max(a.lastRow(), b.lastRow()) - row + 1,
          std::max(a.lastColumn(), b.lastColumn()) - column + 1};
}

bool Worksheet::reserve(const CellRange& range) {
  const int rows = std::max(rows_, range.lastRow());
  const int columns = std::max(columns_, range.lastColumn());
  if (rows == rows_ && columns == columns_) return true;
  if (static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns) > kMaxSheetCells)
    return false;
  std::vector<Cell> grown(static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns));
  for (int r = 1; r <= rows_; ++r)
    for (int c = 1; c <= columns_; ++c)
      grown[static_cast<std::size_t>(r - 1) * static_cast<std::size_t>(columns) +
            static_cast<std::size_t>(c - 1)] = std::move(cell(r, c));
  cells_ = std::move(grown);
  rows_ = rows;
  columns_ = columns;
  return true;
}

Cell& Worksheet::cell(int row, int column) {
  return cells_[static_cast<std::size_t>(row - 1) * static_cast<std::size_t>(columns_) +
                static_cast<std::size_t>(column - 1)];
}

const Cell* Worksheet::findCell(int row, int column) const {
  if (row < 1 || row > rows_ || column < 1 || column > columns_) return nullptr;
  return &cells_[static_cast<std::size_t>(row - 1) * static_cast<std::size_t>(columns_) +
                 static_cast<std::size_t>(column - 1)];
}

int displayWidth(std::string_view utf8) {
  int width = 0;
  for (std::size_t at = 0; at < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[at]);
    const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    char32_t c = length == 1   ? lead
                 : length == 2 ? lead & 0x1F
                 : length == 3 ? lead & 0x0F
                               : lead & 0x07;
    for (std::size_t k = 1; k < length && at + k < utf8.size(); ++k)
      c = (c << 6) | (static_cast<unsigned char>(utf8[at + k]) & 0x3F);
    width += isWide(c) ? 2 : 1;
    at += length;
  }
  return width;
}

std::optional<double> fittedColumnWidth(const Worksheet& sheet, int column, int firstRow,
                                        int lastRow) {
  double widest = 0;
  for (int row = firstRow; row <= std::min(lastRow, sheet.usedRows()); ++row) {
    const Cell* cell = sheet.findCell(row, column);
    if (!cell || cell->text.empty()) continue;
    widest = std::max(widest,
                      displayWidth(cell->text) * double(cell->format.fontSize) / kDefaultFontSize);
  }
  if (widest == 0) return std::nullopt;
  return widest + 1;  // the margin the desktop application keeps beside the text
}

}  // namespace tabulor
