#include "editing/export_command.h"

#include <QAction>

#include "app/main_window_fixture.h"
#include "editing/export/spreadsheet_application.h"
#include "platform/egrid.h"

namespace tabulor::testing {
namespace {

class ExportCommandTest : public MainWindowTest {
 protected:
  // A spreadsheet application whose finished workbooks are only recorded.
  ExportEnvironment environmentWithApplication(bool available) {
    ExportEnvironment environment;
    environment.createObject = [this, available](std::string_view) {
      return createSpreadsheetApplication(
          {[available] { return available; },
           [this](const std::filesystem::path& workbook) { opened.push_back(workbook); },
           dir.path() / "workbooks"});
    };
    environment.nowSeconds = [] { return std::int64_t{1'714'745'130}; };
    return environment;
  }

  void showTable(const std::string& sql) {
    start({makeDatabase("export.db", sql)});
    window->showObject("t", 100);
  }

  std::vector<std::filesystem::path> opened;
};

TEST_F(ExportCommandTest, ShownGridCellsIncludeTheHeaderAndNumberColumn) {
  showTable("CREATE TABLE t (name, code); INSERT INTO t VALUES ('张三', '007'), ('李四', '010')");
  const TextTable cells = shownGridCells(*window->高级表格1);
  ASSERT_EQ(cells.rowCount(), 3);
  ASSERT_EQ(cells.columnCount(), 3);
  EXPECT_EQ(cells.cell(0, 0), "序号");
  EXPECT_EQ(cells.cell(0, 2), "code");
  EXPECT_EQ(cells.cell(2, 0), "2");
  EXPECT_EQ(cells.cell(1, 2), "007");
}

TEST_F(ExportCommandTest, ExportsTheShownTableAndReportsTheTime) {
  showTable("CREATE TABLE t (name, code); INSERT INTO t VALUES ('张三', '007')");
  prompts.clear();
  exportMainGrid(*window, environmentWithApplication(true));
  ASSERT_EQ(prompts.records().size(), 1u);
  EXPECT_EQ(prompts.records()[0].text, QStringLiteral("导出完毕！共用时：0 秒"));
  EXPECT_EQ(prompts.records()[0].title, QStringLiteral("系统提示！"));
  EXPECT_EQ(prompts.records()[0].flags, 0x40);
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_TRUE(std::filesystem::exists(opened[0]));
}

TEST_F(ExportCommandTest, RefusesAGridWithoutRecordsAndWarnsWithoutApplication) {
  showTable("CREATE TABLE t (name)");
  struct Case {
    bool applicationAvailable;
    QString message;
  };
  for (const Case& c : {Case{true, QStringLiteral("没有数据，不能导出")},
                        Case{false, QStringLiteral("你的计算机上没有 EXCEL 程序")}}) {
    prompts.clear();
    exportMainGrid(*window, environmentWithApplication(c.applicationAvailable));
    ASSERT_EQ(prompts.records().size(), 1u);
    EXPECT_EQ(prompts.records()[0].text, c.message);
    EXPECT_EQ(prompts.records()[0].flags, 0x30);
  }
  EXPECT_TRUE(opened.empty());
}

TEST_F(ExportCommandTest, MenuItemRunsTheExport) {
  showTable("CREATE TABLE t (name)");
  prompts.clear();
  window->menuAction(QStringLiteral("导出表格"))->trigger();
  ASSERT_EQ(prompts.records().size(), 1u) << "one box, whichever the desktop answers";
}

}  // namespace
}  // namespace tabulor::testing
