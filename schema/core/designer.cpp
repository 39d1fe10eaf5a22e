// The table designer's rules without widgets: its entries, its grid as plain data, its events.

#include "schema/core/designer.h"

#include <algorithm>
#include <cassert>

#include "schema/core/object_commands.h"
#include "schema/core/table_rebuild.h"
#include "schema/core/virtual_tables.h"
#include "sqlitedb/sqlite_dataset.h"
#include "sqlitedb/sqlite_db.h"
#include "sqlitedb/sqlite_table.h"
#include "sqlitedb/text_scanning.h"

namespace tabulor::schema {
namespace {

// Keeps the current cell on a row that exists after rows went away.
void keepCurrentCellInGrid(DesignerGrid& grid) {
  if (grid.rowCount() <= 1) {
    grid.currentRow = grid.currentColumn = -1;
  } else if (grid.currentRow > grid.lastRow()) {
    grid.currentRow = grid.lastRow();
  }
}

std::optional<std::size_t> lastShownEntry(const std::vector<DesignerField>& entries) {
  for (std::size_t i = entries.size(); i > 0; --i)
    if (!entries[i - 1].deleted) return i - 1;
  return std::nullopt;
}

// Why the engine cannot read the table's rows, as the data view reads them; none when
// it can. The name goes in as the cursor puts it.
std::optional<Failure> tableReadFailure(SqliteDB& db, const std::string& table) {
  if (!isSelfContainedName(table)) return Failure{unsafeNameReason()};
  SqliteDataset probe;
  if (probe.open("SELECT * FROM " + table + " LIMIT 0", db) && probe.requery()) return std::nullopt;
  const std::string reason = db.errorText();
  return Failure{reason.empty() ? programTextFromUtf8("数据库没有给出原因。") : reason};
}

}  // namespace

std::string& DesignerGrid::cell(int row, int column) {
  assert(row >= 0 && row < rowCount() && column >= 0 && column < kColumns);
  return rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

const std::string& DesignerGrid::cell(int row, int column) const {
  assert(row >= 0 && row < rowCount() && column >= 0 && column < kColumns);
  return rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

void DesignerGrid::insertRow(int position) {
  const auto at = position < 0 ? 0 : std::min(static_cast<std::size_t>(position), rows.size());
  rows.insert(rows.begin() + static_cast<std::ptrdiff_t>(at), std::array<std::string, kColumns>{});
}

void DesignerGrid::removeRow(int row) {
  if (row >= 0 && row < rowCount()) rows.erase(rows.begin() + row);
}

void setUpFieldGrid(DesignerGrid& grid) {
  grid.rows.assign(2, {});
  grid.rows[0] = {programTextFromUtf8("序号"), programTextFromUtf8("字段名称"),
                  programTextFromUtf8("字段类型"), programTextFromUtf8("最大文本长度")};
  grid.currentRow = grid.currentColumn = -1;
}

void loadTableDefinition(DesignerState& state, DesignerGrid& grid, SqliteDB& db,
                         SqliteTable& cursor) {
  state.stored = {};
  state.storedRefusal = Failure{programTextFromUtf8("未能读取表 ") + state.targetTable +
                                programTextFromUtf8(" 的字段，未做任何修改。")};
  if (!cursor.open(state.targetTable, db)) return;
  state.existingColumns = cursor.fieldNames();
  cursor.close();
  LoadedTable loaded = loadStoredTable(db, state.targetTable);
  state.stored = std::move(loaded.definition);
  state.storedRefusal = std::move(loaded.refusal);
  const std::vector<StoredColumn>& columns = state.stored.columns;
  grid.rows.resize(columns.size() + 1);
  for (std::size_t i = 0; i < columns.size(); ++i)
    grid.rows[i + 1] = {"", columns[i].name, columns[i].typeName,
                        std::to_string(columns[i].length)};
}

void buildEntriesFromGrid(DesignerState& state, const DesignerGrid& grid) {
  state.entries.clear();
  for (int row = 1; row < grid.rowCount(); ++row)
    state.entries.push_back({grid.cell(row, DesignerGrid::kName),
                             grid.cell(row, DesignerGrid::kType),
                             grid.cell(row, DesignerGrid::kMaxLength), false, false});
}

void numberRows(DesignerGrid& grid) {
  for (int row = 1; row < grid.rowCount(); ++row) grid.cell(row, 0) = std::to_string(row);
}

DesignerOpening openDesigner(DesignerState& state, DesignerGrid& grid, SqliteDB& db,
                             SqliteTable& cursor) {
  DesignerOpening opening;
  setUpFieldGrid(grid);
  const bool modify = state.mode == DesignerMode::Modify;
  opening.caption =
      modify ? programTextFromUtf8("修改表 - ") + state.targetTable : programTextFromUtf8("创建表");
  if (modify) {
    if (!db.tableExists(state.targetTable)) {
      opening.notice = plainNotice(
          programTextFromUtf8("不存在表：") + state.targetTable + programTextFromUtf8("！"),
          MessageFlags::ErrorIcon);
      opening.closeWindow = true;
      return opening;
    }
    // A table the designer could only show empty, or rebuild against its owner's will,
    // is refused before the window opens, with the reason.
    if (auto refusal = designerRefusal(db, state.targetTable)) {
      opening.notice = plainNotice(std::move(refusal->reason), MessageFlags::ErrorIcon);
      opening.closeWindow = true;
      return opening;
    }
    if (auto failure = tableReadFailure(db, state.targetTable)) {
      opening.notice = dbErrorNotice(programTextFromUtf8("不能读取表 ") + state.targetTable +
                                         programTextFromUtf8("，不能用设计器修改。"),
                                     std::move(failure->reason));
      opening.closeWindow = true;
      return opening;
    }
    loadTableDefinition(state, grid, db, cursor);
  }
  buildEntriesFromGrid(state, grid);
  numberRows(grid);
  if (grid.rowCount() > 1) {
    grid.currentRow = 1;
    grid.currentColumn = DesignerGrid::kName;
  }
  return opening;
}

std::optional<std::size_t> entryOfRow(const std::vector<DesignerField>& entries, int row) {
  if (row <= 0) return std::nullopt;
  int shown = 0;
  for (std::size_t i = 0; i < entries.size(); ++i)
    if (!entries[i].deleted && ++shown == row) return i;
  return entries.size();
}

void onDesignerCellEdited(DesignerState& state, const DesignerGrid& grid) {
  const int row = grid.currentRow;
  if (row < 1 || row >= grid.rowCount()) return;
  const std::size_t index = *entryOfRow(state.entries, row);
  if (index >= state.entries.size()) return;
  DesignerField& entry = state.entries[index];
  entry.name = grid.cell(row, DesignerGrid::kName);
  entry.typeText = grid.cell(row, DesignerGrid::kType);
  entry.maxLengthText = grid.cell(row, DesignerGrid::kMaxLength);
}

void onDesignerKeyDown(DesignerState& state, DesignerGrid& grid, int key) {
  state.upArrowPressed = false;
  if (key == kKeyUp) {
    state.upArrowPressed = true;
    return;
  }
  const int row = grid.currentRow;
  const int column = grid.currentColumn;
  // A name of blanks counts as text here: only a truly empty name keeps the grid closed.
  if (key != kKeyDown || row < 1 || column < 0 || row != grid.lastRow() ||
      grid.cell(row, DesignerGrid::kName).empty())
    return;
  insertField(state, grid, InsertPlace::After);
  grid.currentRow = row + 1;
  grid.currentColumn = column;
}

void onDesignerCurrentCellMoved(DesignerState& state, DesignerGrid& grid) {
  if (grid.rowCount() <= 2 || grid.currentRow < 0) return;
  if (grid.currentRow == grid.lastRow() && !state.upArrowPressed) return;
  if (!trimBlanks(grid.cell(grid.lastRow(), DesignerGrid::kName)).empty()) return;
  grid.removeRow(grid.lastRow());
  // The row's entry leaves the shown list with it, so rows and entries stay in
  // step; an existing column's entry is only marked, keeping later positions.
  if (const auto index = lastShownEntry(state.entries)) {
    if (state.entries[*index].isNew)
      state.entries.erase(state.entries.begin() + static_cast<std::ptrdiff_t>(*index));
    else
      state.entries[*index].deleted = true;
  }
  keepCurrentCellInGrid(grid);
}

void insertField(DesignerState& state, DesignerGrid& grid, InsertPlace place) {
  const int row = grid.currentRow;
  if (row < 1 || row >= grid.rowCount()) return;
  const int gridPosition = place == InsertPlace::Before ? row : row + 1;
  const std::size_t index = *entryOfRow(state.entries, gridPosition);
  grid.insertRow(gridPosition);
  DesignerField entry;
  entry.isNew = true;
  state.entries.insert(state.entries.begin() + static_cast<std::ptrdiff_t>(index), entry);
  numberRows(grid);
}

void deleteField(DesignerState& state, DesignerGrid& grid, const AskYes& ask) {
  const int row = grid.currentRow;
  if (row < 1 || row >= grid.rowCount()) return;
  const std::string question = programTextFromUtf8("您确认要删除字段 ") +
                               grid.cell(row, DesignerGrid::kName) + programTextFromUtf8(" 吗？");
  if (!ask(question, (MessageFlags::YesNoCancel | MessageFlags::QuestionIcon))) return;
  const std::size_t index = *entryOfRow(state.entries, row);
  grid.removeRow(row);
  if (index < state.entries.size()) state.entries[index].deleted = true;
  numberRows(grid);
  keepCurrentCellInGrid(grid);
}

}  // namespace tabulor::schema
