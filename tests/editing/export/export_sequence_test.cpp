#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "editing/export/export_grid.h"
#include "sqlitedb/codepage.h"

namespace tabulor {
namespace {

// Writes down every request it gets, and every release, in one shared log. get answers a
// new recording object named after the request, and so does call for "Add"; "Value" of a
// Resize(rows, cols) answers an empty rows x cols array.
class RecordingObject : public Dispatch {
 public:
  RecordingObject(std::shared_ptr<std::vector<std::string>> log, std::string name,
                  std::vector<Variant> made)
      : log_(std::move(log)), name_(std::move(name)), made_(std::move(made)) {}
  ~RecordingObject() override { log_->push_back("release " + name_); }

  static AutomationObject make(std::shared_ptr<std::vector<std::string>> log, std::string name,
                               std::vector<Variant> made = {}) {
    return AutomationObject(
        std::make_shared<RecordingObject>(std::move(log), std::move(name), std::move(made)));
  }

  Variant invoke(RequestKind kind, std::string_view member,
                 const std::vector<Variant>& args) override {
    static const char* const kinds[] = {"get", "call", "put"};
    const std::string called = std::string(member) + "(" + describe(args) + ")";
    log_->push_back(name_ + " " + kinds[static_cast<int>(kind)] + " " + called);
    if (kind == RequestKind::put) return Variant(true);
    if (member == "Value" && made_.size() == 2)
      return VariantArray(*made_[0].integer(), *made_[1].integer());
    if (kind == RequestKind::call && member != "Add") return Variant();
    return make(log_, called, args);
  }

 private:
  static std::string describe(const std::vector<Variant>& args) {
    std::string text;
    for (const Variant& arg : args) {
      if (!text.empty()) text += ", ";
      if (arg.text()) text += "\"" + *arg.text() + "\"";
      if (arg.integer()) text += std::to_string(*arg.integer());
      if (arg.boolean()) text += *arg.boolean() ? "true" : "false";
      if (const VariantArray* array = arg.array()) {
        // Columns apart by "|", in the array's linear order.
        text += "[";
        for (int j = 1; j <= array->columns(); ++j)
          for (int i = 1; i <= array->rows(); ++i)
            text += array->at(i, j) + (i < array->rows() ? "," : j < array->columns() ? "|" : "]");
      }
      if (arg.object()) text += "object";
    }
    return text;
  }

  std::shared_ptr<std::vector<std::string>> log_;
  std::string name_;
  std::vector<Variant> made_;
};

TextTable gridOf(const std::vector<std::vector<std::string>>& rows) {
  TextTable grid(static_cast<int>(rows.size()),
                 rows.empty() ? 0 : static_cast<int>(rows[0].size()));
  for (int r = 0; r < grid.rowCount(); ++r)
    for (int c = 0; c < grid.columnCount(); ++c)
      grid.cell(r, c) = rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
  return grid;
}

const TextTable kTwoRecords =
    gridOf({{"序号", "id", "name", "code"}, {"1", "7", "张三", "007"}, {"2", "8", "李四", "010"}});

class ExportSequence : public ::testing::Test {
 protected:
  ExportEnvironment environment() {
    ExportEnvironment env;
    env.createObject = [this](std::string_view progId, HandoverReportPtr) {
      requested.emplace_back(progId);
      return available ? RecordingObject::make(log, "app") : AutomationObject();
    };
    env.nowSeconds = [this] { return clock[std::min<std::size_t>(ticks++, clock.size() - 1)]; };
    env.keepGoing = [this] {
      log->push_back("keep going");
      return !cancelled;
    };
    env.handOver = [this](const std::function<void()>& step) {
      log->push_back("hand over");
      step();
    };
    return env;
  }

  std::shared_ptr<std::vector<std::string>> log = std::make_shared<std::vector<std::string>>();
  std::vector<std::string> requested;
  bool available = true;
  bool cancelled = false;
  std::vector<std::int64_t> clock = {1000, 1000};
  std::size_t ticks = 0;
};

TEST_F(ExportSequence, DrivesTheApplicationCallByCallAndReleasesEachObjectWhenDone) {
  const std::optional<Notice> message = exportGridToSpreadsheet(kTwoRecords, environment());

  EXPECT_EQ(requested, std::vector<std::string>{"Excel.Application"});
  const std::vector<std::string> expected = {
      "app put Visible(true)",
      "app get Workbooks()",
      "Workbooks() call Add()",
      "release Workbooks()",
      "Add() call Activate()",
      "app get ActiveWorkbook()",
      "release Add()",
      "ActiveWorkbook() put AutoUpdateSaveChanges(false)",
      "ActiveWorkbook() get Sheets()",
      "Sheets() get Item(1)",
      "release Sheets()",
      "Item(1) get Range(\"A1\", \"A1\")",
      "Range(\"A1\", \"A1\") get Resize(3, 4)",
      "release Range(\"A1\", \"A1\")",
      "Resize(3, 4) put NumberFormat(\"@\")",
      "Resize(3, 4) get Value()",
      "keep going",
      "Resize(3, 4) put Value([序号,1,2|id,7,8|name,张三,李四|code,007,010])",
      "Resize(3, 4) get borders()",
      "borders() put Weight(2)",
      "release borders()",
      "Resize(3, 4) put RowHeight(18)",
      "Resize(3, 4) get Font()",
      "Font() put Size(10)",
      "release Font()",
      "release Resize(3, 4)",
      "Item(1) get Range(\"A1\", \"A1\")",
      "Range(\"A1\", \"A1\") get Resize(1, 4)",
      "release Range(\"A1\", \"A1\")",
      "Resize(1, 4) get Interior()",
      "Interior() put Colorindex(16777215)",
      "release Interior()",
      "Resize(1, 4) get Font()",
      "Font() put Bold(false)",
      "release Font()",
      "Resize(1, 4) get Columns()",
      "Columns() put HorizontalAlignment(3)",
      "release Columns()",
      "Item(1) get Range(\"B2\")",
      "Range(\"B2\") call Select()",
      "release Range(\"B2\")",
      "Item(1) get Cells()",
      "Cells() get EntireColumn()",
      "release Cells()",
      "EntireColumn() put AutoFit()",
      "release EntireColumn()",
      "ActiveWorkbook() put Saved(true)",
      "app call Close()",
      "release Resize(1, 4)",
      "release Item(1)",
      "release ActiveWorkbook()",
      "hand over",
      "release app",
  };
  EXPECT_EQ(*log, expected);
  EXPECT_EQ(message, (Notice{"导出完毕！共用时：0 秒", "系统提示！", 0x40}));
}

TEST_F(ExportSequence, TextsReachTheApplicationAsUtf8FromTheProgramCodePage) {
  const std::string saved = programCodePage();
  ASSERT_TRUE(setProgramCodePage("GBK"));
  // 序号 and 张三 in code page 936.
  exportGridToSpreadsheet(gridOf({{"\xD0\xF2\xBA\xC5", "name"}, {"1", "\xD5\xC5\xC8\xFD"}}),
                          environment());
  setProgramCodePage(saved);
  EXPECT_NE(std::find(log->begin(), log->end(), "Resize(2, 2) put Value([序号,1|name,张三])"),
            log->end());
}

TEST_F(ExportSequence, FinishingMessageGivesTheWholeSecondsTaken) {
  struct Case {
    std::int64_t start, end;
    const char* text;
  };
  for (const Case& c :
       {Case{1000, 1000, "导出完毕！共用时：0 秒"}, Case{1000, 1003, "导出完毕！共用时：3 秒"},
        Case{1733800000, 1733800125, "导出完毕！共用时：125 秒"}}) {
    clock = {c.start, c.end};
    ticks = 0;
    EXPECT_EQ(exportGridToSpreadsheet(kTwoRecords, environment())->text, c.text);
  }
}

TEST_F(ExportSequence, WithoutTheApplicationWarnsBeforeLookingAtTheGrid) {
  available = false;
  for (const TextTable& grid : {TextTable(), gridOf({{"无数据"}}), kTwoRecords}) {
    EXPECT_EQ(exportGridToSpreadsheet(grid, environment()),
              (Notice{"你的计算机上没有 EXCEL 程序", "", 0x30}));
  }
  EXPECT_TRUE(log->empty());
}

TEST_F(ExportSequence, GridOfOneRowHasNoDataAndOnlyReleasesTheApplication) {
  for (const TextTable& grid : {gridOf({{"无数据"}}), gridOf({{"序号", "id", "name"}})}) {
    log->clear();
    EXPECT_EQ(exportGridToSpreadsheet(grid, environment()),
              (Notice{"没有数据，不能导出", "", 0x30}));
    EXPECT_EQ(*log, std::vector<std::string>{"release app"});
  }
}

TEST_F(ExportSequence, CancelledWhileCopyingHidesTheApplicationBeforeReleasingIt) {
  cancelled = true;
  EXPECT_EQ(exportGridToSpreadsheet(kTwoRecords, environment()), std::nullopt);
  EXPECT_EQ(std::find(log->begin(), log->end(), "hand over"), log->end());
  EXPECT_EQ(std::find_if(log->begin(), log->end(),
                         [](const std::string& entry) {
                           return entry.find("put Value(") != std::string::npos;
                         }),
            log->end())
      << "nothing copied reaches the application";
  const std::vector<std::string> ending = {"keep going",
                                           "release Resize(3, 4)",
                                           "release Item(1)",
                                           "release ActiveWorkbook()",
                                           "app put Visible(false)",
                                           "release app"};
  ASSERT_GE(log->size(), ending.size());
  EXPECT_EQ(
      std::vector<std::string>(log->end() - static_cast<std::ptrdiff_t>(ending.size()), log->end()),
      ending);
}

}  // namespace
}  // namespace tabulor
