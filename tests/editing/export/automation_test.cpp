#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editing/export/spreadsheet_application.h"
#include "editing/export/spreadsheet_model.h"
#include "support/temp_dir.h"

namespace tabulor {
namespace {

class SpreadsheetApplication : public ::testing::Test {
 protected:
  AutomationObject start() {
    return createSpreadsheetApplication({[] { return true; },
                                         [this](const std::filesystem::path& file) {
                                           opened.push_back(file);
                                           return true;
                                         },
                                         dir.path() / "exports"});
  }
  // The first sheet of a new workbook, and A1:B2 of it.
  static AutomationObject sheet(const AutomationObject& application) {
    AutomationObject book = application.get("Workbooks").object().call("Add").object();
    return book.get("Sheets").object().get("Item", {1}).object();
  }
  static AutomationObject range(const AutomationObject& application) {
    return sheet(application).get("Range", {"A1:B2"}).object();
  }

  tabulor::testing::TempDir dir;
  std::vector<std::filesystem::path> opened;
};

TEST_F(SpreadsheetApplication, MembersAreFoundIgnoringCaseAndUnknownOnesFailQuietly) {
  AutomationObject application = start();
  EXPECT_TRUE(application.put("VISIBLE", {true}));
  EXPECT_TRUE(application.get("workbooks").object());
  EXPECT_TRUE(application.get("NoSuchMember").isEmpty());
  EXPECT_FALSE(application.put("NoSuchMember", {1}));
  EXPECT_TRUE(application.call("Close").isEmpty());
  // A chain through a failed request goes on without effect.
  EXPECT_FALSE(application.get("NoSuchMember").object().get("Font").object().put("Size", {10}));
}

TEST_F(SpreadsheetApplication, RequestsFallBackToTheOtherWaysOfInvokingAMember) {
  AutomationObject cells = range(start());
  EXPECT_TRUE(cells.put("AutoFit", {}));       // put without a value runs the method
  EXPECT_TRUE(cells.get("Select").boolean());  // get runs a method
  EXPECT_TRUE(cells.call("Value").array());    // call reads a property
  cells.call("Value", {"x"});  // call puts a property when nothing else takes the arguments
  EXPECT_EQ(cells.get("Value").array()->at(2, 2), "x");
  EXPECT_FALSE(cells.put("Resize", {2}));  // a read-only property takes no value
}

TEST_F(SpreadsheetApplication, PropertiesRefuseValuesTheApplicationDoesNotTake) {
  AutomationObject cells = range(start());
  struct Case {
    const char* object;
    const char* member;
    Variant value;
    bool accepted;
  };
  for (const Case& c :
       {Case{"Interior", "ColorIndex", 16777215, false}, Case{"Interior", "ColorIndex", 6, true},
        Case{"Borders", "Weight", 3, false}, Case{"Borders", "Weight", -4138, true},
        Case{"Font", "Size", 0, false}, Case{"Font", "Bold", 1, false},
        Case{"", "HorizontalAlignment", -4108, true}, Case{"", "HorizontalAlignment", 9, false},
        Case{"", "NumberFormat", "0.00", false}, Case{"", "RowHeight", 410, false}}) {
    AutomationObject target = *c.object ? cells.get(c.object).object() : cells;
    EXPECT_EQ(target.put(c.member, {c.value}), c.accepted) << c.object << "." << c.member;
  }
}

TEST_F(SpreadsheetApplication, WholeSheetFormattingIsRefusedNotMaterialised) {
  AutomationObject whole = sheet(start()).get("Cells").object();
  EXPECT_FALSE(whole.put("NumberFormat", {"@"}));
  EXPECT_TRUE(whole.get("Value").isEmpty());
}

TEST_F(SpreadsheetApplication, WorkbookGoesToTheDesktopWhenTheLastObjectIsReleased) {
  AutomationObject application = start();
  application.put("Visible", {true});
  AutomationObject cells = range(application);
  application.release();
  EXPECT_TRUE(opened.empty());
  cells.release();
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_TRUE(std::filesystem::is_regular_file(opened[0]));
#ifndef _WIN32
  // Windows has no owner-only mode; its per-user temporary folder is the user's own already.
  EXPECT_EQ(std::filesystem::status(dir.path() / "exports").permissions(),
            std::filesystem::perms::owner_all);
#endif
}

TEST_F(SpreadsheetApplication, InvisibleApplicationHandsNothingOver) {
  range(start());
  EXPECT_TRUE(opened.empty());
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "exports"));
}

TEST(RangeReference, ParsesCellsAndSpans) {
  struct Case {
    const char* text;
    std::optional<CellRange> range;
  };
  for (const Case& c :
       {Case{"A1", CellRange{1, 1, 1, 1}}, Case{"$B$2", CellRange{2, 2, 1, 1}},
        Case{"b2", CellRange{2, 2, 1, 1}}, Case{"A1:D3", CellRange{1, 1, 3, 4}},
        Case{"D3:A1", CellRange{1, 1, 3, 4}}, Case{"XFD1048576", CellRange{1048576, 16384, 1, 1}},
        Case{"XFE1", std::nullopt}, Case{"A0", std::nullopt}, Case{"A1048577", std::nullopt},
        Case{"1A", std::nullopt}, Case{"A1:", std::nullopt}, Case{"", std::nullopt}}) {
    EXPECT_EQ(parseRangeReference(c.text), c.range) << c.text;
  }
}

TEST(DisplayWidth, CountsWideCharactersTwice) {
  struct Case {
    const char* text;
    int width;
  };
  for (const Case& c : {Case{"", 0}, Case{"007", 3}, Case{"张三", 4}, Case{"a张", 3},
                        Case{"ＡＢ", 4}, Case{"é", 1}, Case{"😀", 2}}) {
    EXPECT_EQ(displayWidth(c.text), c.width) << c.text;
  }
}

}  // namespace
}  // namespace tabulor
