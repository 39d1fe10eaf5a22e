// The in-memory workbook: sheets of formatted text cells, range references, column fitting.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tabulor {

// The in-memory workbook behind the in-process spreadsheet application. Rows and
// columns are 1-based, as the automation members count them.

inline constexpr int kSheetRows = 1048576;
inline constexpr int kSheetColumns = 16384;
inline constexpr int kDefaultFontSize = 11;
inline constexpr int kColorIndexNone = -4142;
// The sheet is held densely up to its last used cell; a range request beyond this many
// cells is refused rather than exhausting memory.
inline constexpr std::size_t kMaxSheetCells = std::size_t{1} << 22;

enum class HorizontalAlignment : std::int8_t { general, left, center, right };

struct CellFormat {
  bool textFormat = false;       // number format "@": the cell shows its text as typed
  std::int8_t borderWeight = 0;  // 0 none, 1 hairline, 2 thin, 3 medium, 4 thick
  std::int16_t fontSize = kDefaultFontSize;
  bool bold = false;
  HorizontalAlignment alignment = HorizontalAlignment::general;
  std::int16_t colorIndex = kColorIndexNone;  // fill from the 56-colour palette

  auto operator<=>(const CellFormat&) const = default;
};

struct Cell {
  std::string text;  // UTF-8
  CellFormat format;
};

struct CellRange {
  int row = 1;
  int column = 1;
  int rows = 1;
  int columns = 1;

  int lastRow() const { return row + rows - 1; }
  int lastColumn() const { return column + columns - 1; }
  bool operator==(const CellRange&) const = default;
};

// "B2", "$B$2" or "A1:D3"; nullopt for anything else.
std::optional<CellRange> parseRangeReference(std::string_view reference);
// The smallest range holding both.
CellRange spanning(const CellRange& a, const CellRange& b);

class Worksheet {
 public:
  explicit Worksheet(std::string name) : name_(std::move(name)) {}

  const std::string& name() const { return name_; }
  int usedRows() const { return rows_; }
  int usedColumns() const { return columns_; }

  // Makes room for every cell of the range; false when that would hold more cells than
  // an in-memory sheet allows (a whole-sheet range, for one).
  bool reserve(const CellRange& range);
  Cell& cell(int row, int column);  // within the reserved area
  const Cell* findCell(int row, int column) const;

  std::map<int, double>& rowHeights() { return rowHeights_; }
  const std::map<int, double>& rowHeights() const { return rowHeights_; }
  std::map<int, double>& columnWidths() { return columnWidths_; }
  const std::map<int, double>& columnWidths() const { return columnWidths_; }
  CellRange& selection() { return selection_; }
  const CellRange& selection() const { return selection_; }

 private:
  std::string name_;
  int rows_ = 0;
  int columns_ = 0;
  std::vector<Cell> cells_;  // rows_ x columns_, row by row
  std::map<int, double> rowHeights_;
  std::map<int, double> columnWidths_;
  CellRange selection_;
};

// Sheets are made with the workbook and never added later, so pointers to them hold.
struct Workbook {
  std::vector<Worksheet> sheets;
};

// Width of a text in character cells: East Asian wide and full-width characters count two.
int displayWidth(std::string_view utf8);
// Column width (in character units of the default font) that shows the widest text of
// the column between the two rows, each text measured in its cell's font size; nullopt
// when those cells are all empty.
std::optional<double> fittedColumnWidth(const Worksheet& sheet, int column, int firstRow,
                                        int lastRow);

}  // namespace tabulor
