#include "schema/core/designer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "schema_fixture.h"

namespace tabulor::schema {
namespace {

class DesignerEditing : public ::testing::Test {
 protected:
  // A designer grid whose rows hold the given names, as if loaded from a table.
  void load(const std::vector<std::string>& names) {
    setUpFieldGrid(grid_);
    grid_.rows.resize(names.size() + 1);
    for (std::size_t i = 0; i < names.size(); ++i)
      grid_.cell(static_cast<int>(i) + 1, DesignerGrid::kName) = names[i];
    buildEntriesFromGrid(state_, grid_);
    numberRows(grid_);
    grid_.currentRow = 1;
    grid_.currentColumn = 1;
  }

  void moveTo(int row, int column) {
    grid_.currentRow = row;
    grid_.currentColumn = column;
    onDesignerCurrentCellMoved(state_, grid_);
  }

  void type(const std::string& name) {
    grid_.cell(grid_.currentRow, DesignerGrid::kName) = name;
    onDesignerCellEdited(state_, grid_);
  }

  std::vector<std::string> gridNames() const {
    std::vector<std::string> names;
    for (int row = 1; row < grid_.rowCount(); ++row)
      names.push_back(grid_.cell(row, DesignerGrid::kName));
    return names;
  }

  std::vector<std::string> shownEntryNames() const {
    std::vector<std::string> names;
    for (const DesignerField& entry : state_.entries)
      if (!entry.deleted) names.push_back(entry.name);
    return names;
  }

  bool numbered() const {
    for (int row = 1; row < grid_.rowCount(); ++row)
      if (grid_.cell(row, 0) != std::to_string(row)) return false;
    return true;
  }

  AskYes answer(bool yes) {
    return [this, yes](const std::string& question, int flags) {
      questions_.emplace_back(question, flags);
      return yes;
    };
  }

  testing::CodePageScope page_{"UTF-8"};
  DesignerState state_;
  DesignerGrid grid_;
  std::vector<std::pair<std::string, int>> questions_;
};

TEST_F(DesignerEditing, DownOnANamedLastRowOpensANewRowAndMovesThere) {
  load({"a"});
  onDesignerKeyDown(state_, grid_, kKeyDown);
  EXPECT_EQ(gridNames(), (std::vector<std::string>{"a", ""}));
  EXPECT_TRUE(numbered());
  EXPECT_EQ((GridCell{grid_.currentRow, grid_.currentColumn}), (GridCell{2, 1}));
  ASSERT_EQ(state_.entries.size(), 2u);
  EXPECT_TRUE(state_.entries[1].isNew);
}

TEST_F(DesignerEditing, DownDoesNothingOnAnEmptyLastRowOrAboveTheLastRow) {
  load({"a", ""});
  moveTo(2, 1);
  onDesignerKeyDown(state_, grid_, kKeyDown);
  EXPECT_EQ(grid_.rowCount(), 3);
  load({"a", "b"});
  onDesignerKeyDown(state_, grid_, kKeyDown);
  EXPECT_EQ(grid_.rowCount(), 3);
}

TEST_F(DesignerEditing, DownTreatsANameOfBlanksAsText) {
  load({"  "});
  onDesignerKeyDown(state_, grid_, kKeyDown);
  EXPECT_EQ(grid_.rowCount(), 3);
}

TEST_F(DesignerEditing, LeavingAnEmptyTrailingRowRemovesIt) {
  load({"a", "b", ""});
  moveTo(3, 1);
  moveTo(1, 1);
  EXPECT_EQ(gridNames(), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(shownEntryNames(), (std::vector<std::string>{"a", "b"}));
}

TEST_F(DesignerEditing, TheOnlyFieldRowIsNeverRemoved) {
  load({""});
  moveTo(1, 2);
  moveTo(1, 1);
  EXPECT_EQ(grid_.rowCount(), 2);
}

TEST_F(DesignerEditing, UpFromAnEmptyLastRowRemovesItAndKeepsTheCell) {
  load({"a", "b"});
  moveTo(2, 1);
  onDesignerKeyDown(state_, grid_, kKeyDown);
  ASSERT_EQ(grid_.rowCount(), 4);
  onDesignerKeyDown(state_, grid_, kKeyUp);
  moveTo(2, 1);
  EXPECT_EQ(gridNames(), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ((GridCell{grid_.currentRow, grid_.currentColumn}), (GridCell{2, 1}));
  EXPECT_EQ(state_.entries.size(), 2u);
}

TEST_F(DesignerEditing, AnyOtherKeyClearsTheUpArrowMark) {
  load({"a"});
  onDesignerKeyDown(state_, grid_, kKeyUp);
  onDesignerKeyDown(state_, grid_, 'X');
  EXPECT_FALSE(state_.upArrowPressed);
}

TEST_F(DesignerEditing, RowAppendedAfterTheLastGoesWhenTheCellMovesOffIt) {
  load({"a", "b"});
  moveTo(2, 1);
  insertField(state_, grid_, InsertPlace::After);
  EXPECT_EQ(grid_.rowCount(), 4);
  // The buttons do not move the current cell; another column of row 2 is enough.
  moveTo(2, 2);
  EXPECT_EQ(gridNames(), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(state_.entries.size(), 2u);
}

TEST_F(DesignerEditing, RowInsertedBetweenOthersStays) {
  load({"a", "b"});
  insertField(state_, grid_, InsertPlace::After);
  moveTo(3, 1);
  moveTo(1, 1);
  EXPECT_EQ(gridNames(), (std::vector<std::string>{"a", "", "b"}));
  EXPECT_EQ(shownEntryNames(), gridNames());
}

TEST_F(DesignerEditing, InsertBeforeTheFirstRowShiftsItDownAsAnExistingEntry) {
  load({"a", "b"});
  insertField(state_, grid_, InsertPlace::Before);
  EXPECT_EQ(gridNames(), (std::vector<std::string>{"", "a", "b"}));
  EXPECT_TRUE(numbered());
  EXPECT_EQ(grid_.currentRow, 1);
  ASSERT_EQ(state_.entries.size(), 3u);
  EXPECT_TRUE(state_.entries[0].isNew);
  EXPECT_FALSE(state_.entries[1].isNew);
  EXPECT_EQ(state_.entries[1].name, "a");
}

TEST_F(DesignerEditing, DeleteAsksAndOnlyYesDeletes) {
  load({"a", "b", "c"});
  moveTo(2, 1);
  deleteField(state_, grid_, answer(false));
  EXPECT_EQ(gridNames(), (std::vector<std::string>{"a", "b", "c"}));
  deleteField(state_, grid_, answer(true));
  EXPECT_EQ(gridNames(), (std::vector<std::string>{"a", "c"}));
  EXPECT_TRUE(numbered());
  ASSERT_EQ(questions_.size(), 2u);
  EXPECT_EQ(questions_[1].first, "您确认要删除字段 b 吗？");
  EXPECT_EQ(questions_[1].second, 0x23);
  ASSERT_EQ(state_.entries.size(), 3u);
  EXPECT_TRUE(state_.entries[1].deleted);
  // Row 2 now shows c: an edit there lands in c's entry, past the deleted one.
  type("cc");
  EXPECT_EQ(state_.entries[2].name, "cc");
}

TEST_F(DesignerEditing, DeletingTheLastFieldRowLeavesNothingToInsertAt) {
  load({"a"});
  deleteField(state_, grid_, answer(true));
  EXPECT_EQ(grid_.rowCount(), 1);
  EXPECT_EQ(grid_.currentRow, -1);
  insertField(state_, grid_, InsertPlace::Before);
  insertField(state_, grid_, InsertPlace::After);
  EXPECT_EQ(grid_.rowCount(), 1);
  EXPECT_EQ(state_.entries.size(), 1u);
}

TEST_F(DesignerEditing, EntryOfRowCountsShownEntriesOnly) {
  std::vector<DesignerField> entries(4);
  entries[1].deleted = true;
  EXPECT_EQ(entryOfRow(entries, 0), std::nullopt);
  EXPECT_EQ(entryOfRow(entries, 1), 0u);
  EXPECT_EQ(entryOfRow(entries, 2), 2u);
  EXPECT_EQ(entryOfRow(entries, 3), 3u);
  EXPECT_EQ(entryOfRow(entries, 4), 4u);
}

// Any sequence of edits keeps row k on the k-th shown entry, and existing
// entries keep their order. Names of blanks included: such a trailing row
// goes, and its entry must go with it.
TEST_F(DesignerEditing, RowsAndShownEntriesStayInStepThroughRandomEdits) {
  std::mt19937 random(20260511);
  const std::string names[] = {"x", "", "  ", "y"};
  for (int round = 0; round < 50; ++round) {
    load({"a", "b", "c"});
    for (int step = 0; step < 40; ++step) {
      const int rows = grid_.rowCount() - 1;
      switch (random() % 6) {
        case 0:
          if (rows > 0) moveTo(1 + static_cast<int>(random() % rows), 1 + random() % 3);
          break;
        case 1:
          if (grid_.currentRow > 0) type(names[random() % 4]);
          break;
        case 2:
          insertField(state_, grid_, random() % 2 ? InsertPlace::Before : InsertPlace::After);
          break;
        case 3:
          deleteField(state_, grid_, answer(true));
          break;
        case 4:
          onDesignerKeyDown(state_, grid_, kKeyDown);
          break;
        case 5:
          onDesignerKeyDown(state_, grid_, kKeyUp);
          if (grid_.currentRow > 1) moveTo(grid_.currentRow - 1, grid_.currentColumn);
          break;
      }
      ASSERT_EQ(shownEntryNames(), gridNames()) << "round " << round << " step " << step;
      ASSERT_TRUE(numbered());
    }
    const auto existing = std::count_if(state_.entries.begin(), state_.entries.end(),
                                        [](const DesignerField& entry) { return !entry.isNew; });
    EXPECT_EQ(existing, 3) << "round " << round;
  }
}

}  // namespace
}  // namespace tabulor::schema
