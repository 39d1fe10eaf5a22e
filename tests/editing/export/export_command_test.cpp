#include "editing/export_command.h"

#include <fstream>

#include <QAction>
#include <QApplication>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>

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
    environment.createObject = [this, available](std::string_view, HandoverReportPtr report) {
      return createSpreadsheetApplication({[available] { return available; },
                                           [this](const std::filesystem::path& workbook) {
                                             opened.push_back(workbook);
                                             return handedOver;
                                           },
                                           folder},
                                          std::move(report));
    };
    environment.nowSeconds = [] { return std::int64_t{1'714'745'130}; };
    return environment;
  }

  void showTable(const std::string& sql) {
    start({makeDatabase("export.db", sql)});
    window->showObject("t", TableItem);
  }

  std::vector<std::filesystem::path> opened;
  bool handedOver = true;
  std::filesystem::path folder = dir.path() / "workbooks";
};

TEST_F(ExportCommandTest, ShownGridCellsIncludeTheHeaderAndNumberColumn) {
  showTable("CREATE TABLE t (name, code); INSERT INTO t VALUES ('张三', '007'), ('李四', '010')");
  const TextTable cells = *shownGridCells(*ui().高级表格1);
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

// A workbook that never reached the user is a failure, told with its reason.
TEST_F(ExportCommandTest, AWorkbookThatIsNotWrittenOrNotHandedOverIsAWarningWithTheReason) {
  showTable("CREATE TABLE t (name); INSERT INTO t VALUES ('x')");
  std::ofstream(dir.file("a-file")) << "not a folder";
  struct Case {
    std::filesystem::path folder;
    bool handedOver;
    QString begins;
  };
  const Case cases[] = {
      {dir.path() / "a-file" / "workbooks", true,
       QStringLiteral("导出失败！无法创建存放工作簿的文件夹 ") +
           QString::fromStdString((dir.path() / "a-file" / "workbooks").string())},
      {dir.path() / "workbooks", false,
       QStringLiteral("导出失败！无法用电子表格程序打开工作簿 ") +
           QString::fromStdString((dir.path() / "workbooks").string())},
  };
  for (const Case& c : cases) {
    folder = c.folder;
    handedOver = c.handedOver;
    prompts.clear();
    exportMainGrid(*window, environmentWithApplication(true));
    ASSERT_EQ(prompts.records().size(), 1u);
    EXPECT_TRUE(prompts.records()[0].text.startsWith(c.begins))
        << prompts.records()[0].text.toStdString();
    EXPECT_EQ(prompts.records()[0].flags, 0x30);
  }
}

// A grid wider than a worksheet is refused before anything is copied or handed over.
TEST_F(ExportCommandTest, AGridBeyondTheWorkbookIsRefusedBeforeItIsCopied) {
  showTable("CREATE TABLE t (name); INSERT INTO t VALUES ('x')");
  ui().高级表格1->setColumnCount(16385);
  prompts.clear();
  exportMainGrid(*window, environmentWithApplication(true));
  ASSERT_EQ(prompts.records().size(), 1u);
  EXPECT_EQ(
      prompts.records()[0].text,
      QStringLiteral("表格太大，不能导出：共 2 行、16385 列，导出最多 4194304 个单元格（1048576 "
                     "行、16384 列以内）。"));
  EXPECT_EQ(prompts.records()[0].flags, 0x30);
  EXPECT_TRUE(opened.empty());
}

// Export work past half a second shows a progress dialog; its 取消 stops the export
// before anything is written, and nothing more is said.
TEST_F(ExportCommandTest, CancellingTheProgressDialogWritesNoWorkbook) {
  showTable("CREATE TABLE t (name); INSERT INTO t VALUES ('x')");
  ExportEnvironment slow = environmentWithApplication(true);
  slow.createObject = [this, make = slow.createObject](std::string_view progId,
                                                       HandoverReportPtr report) {
    environment.setTickCount(environment.tickCount() + 1000);
    return make(progId, std::move(report));
  };
  QTimer clicker;
  QObject::connect(&clicker, &QTimer::timeout, [this] {
    if (auto* dialog = window->findChild<QProgressDialog*>())
      if (auto* cancel = dialog->findChild<QPushButton*>()) cancel->click();
  });
  clicker.start(0);
  prompts.clear();
  exportMainGrid(*window, slow);
  EXPECT_TRUE(prompts.records().empty());
  EXPECT_TRUE(opened.empty());
  EXPECT_FALSE(std::filesystem::exists(folder));
  EXPECT_EQ(window->findChild<QProgressDialog*>(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(ExportCommandTest, MenuItemRunsTheExport) {
  showTable("CREATE TABLE t (name)");
  prompts.clear();
  window->action(Command::ExportTable)->trigger();
  ASSERT_EQ(prompts.records().size(), 1u) << "one box, whichever the desktop answers";
}

}  // namespace
}  // namespace tabulor::testing
