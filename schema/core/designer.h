// The table designer's rules without widgets: its entries, its grid as plain data, its events.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "report/outcome.h"
#include "schema/core/table_definition.h"

namespace tabulor {
class SqliteDB;
class SqliteTable;
}  // namespace tabulor

namespace tabulor::schema {

enum class DesignerMode { Create, Modify };

// One field entry behind a designer row.
struct DesignerField {
  std::string name;  // as typed, not trimmed
  std::string typeText;
  std::string maxLengthText;
  bool deleted = false;  // the row was deleted; the entry stays so positions keep
  bool isNew = false;    // inserted since the designer opened
};

// Data row k of the grid shows the k-th entry that is not deleted; for an
// existing table the n-th entry that is not new (deleted or not) stands for the
// n-th of existingColumns.
struct DesignerState {
  DesignerMode mode = DesignerMode::Create;
  std::string targetTable;
  std::vector<DesignerField> entries;
  std::vector<std::string> existingColumns;
  bool upArrowPressed = false;
  // Modify mode: the table's stored definition, one column per existing column,
  // and why it cannot be rebuilt (none when it can).
  StoredTable stored;
  std::optional<Failure> storedRefusal;
};

// The designer's four-column field grid as plain data; row 0 is the header,
// column 0 the row number, then name, type and maximum text length.
struct DesignerGrid {
  static constexpr int kColumns = 4;
  static constexpr int kName = 1;
  static constexpr int kType = 2;
  static constexpr int kMaxLength = 3;

  std::vector<std::array<std::string, kColumns>> rows;
  int currentRow = -1;  // -1: no current cell
  int currentColumn = -1;

  int rowCount() const { return static_cast<int>(rows.size()); }
  int lastRow() const { return rowCount() - 1; }
  std::string& cell(int row, int column);
  const std::string& cell(int row, int column) const;
  // An empty row at `position`, appended when at or past the end.
  void insertRow(int position);
  void removeRow(int row);
};

// Virtual key codes the grid reacts to.
inline constexpr int kKeyUp = 0x26;
inline constexpr int kKeyDown = 0x28;

enum class InsertPlace { Before, After };

struct DesignerOpening {
  std::string caption;
  std::optional<Notice> notice;
  bool closeWindow = false;
};

// Fills the grid and the entry list when the window opens. In Modify mode the
// table's columns come from the shared cursor (left closed) and its stored SQL.
DesignerOpening openDesigner(DesignerState& state, DesignerGrid& grid, SqliteDB& db,
                             SqliteTable& cursor);

void setUpFieldGrid(DesignerGrid& grid);
void loadTableDefinition(DesignerState& state, DesignerGrid& grid, SqliteDB& db,
                         SqliteTable& cursor);
void buildEntriesFromGrid(DesignerState& state, const DesignerGrid& grid);
void numberRows(DesignerGrid& grid);

// The index of the entry behind data row `row`; entries.size() when the grid has
// fewer entries, nullopt for row <= 0.
std::optional<std::size_t> entryOfRow(const std::vector<DesignerField>& entries, int row);

// Grid events; the grid's current cell is set before they are called.
void onDesignerCellEdited(DesignerState& state, const DesignerGrid& grid);
void onDesignerKeyDown(DesignerState& state, DesignerGrid& grid, int key);
void onDesignerCurrentCellMoved(DesignerState& state, DesignerGrid& grid);

void insertField(DesignerState& state, DesignerGrid& grid, InsertPlace place);
// Asks first; only Yes deletes the current row.
void deleteField(DesignerState& state, DesignerGrid& grid, const AskYes& ask);

}  // namespace tabulor::schema
