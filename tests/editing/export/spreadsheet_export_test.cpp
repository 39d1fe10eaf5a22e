#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "editing/export/export_grid.h"
#include "editing/export/spreadsheet_application.h"
#include "editing/export/xlsx_writer.h"
#include "support/temp_dir.h"

namespace tabulor {
namespace {

// Reads a workbook back with openpyxl: one line per cell of A1:D3 (value, type, number
// format, font size, boldness, border, alignment, fill), then row heights, column
// widths, the selection and the used range.
constexpr const char* kReader = R"(
import sys, openpyxl
ws = openpyxl.load_workbook(sys.argv[1]).worksheets[0]
for row in ws['A1:D3']:
    for c in row:
        print(c.coordinate, repr(c.value), c.data_type, c.number_format, c.font.sz, c.font.b,
              c.border.left.style, c.border.bottom.style, c.alignment.horizontal, c.fill.fill_type)
for r in (1, 2, 3):
    print('row', r, ws.row_dimensions[r].height)
for col in 'ABCD':
    print('width', col, ws.column_dimensions[col].width)
print('selection', ws.sheet_view.selection[0].sqref)
print('dimensions', ws.dimensions)
)";

std::string readBack(const tabulor::testing::TempDir& dir, const std::string& workbook) {
  const std::string script = dir.file("read_back.py");
  std::ofstream(script) << kReader;
  FILE* reader =
      popen((std::string(TABULOR_PYTHON3) + " '" + script + "' '" + workbook + "'").c_str(), "r");
  std::string output;
  char buffer[512];
  while (reader && std::fgets(buffer, sizeof buffer, reader)) output += buffer;
  if (reader) pclose(reader);
  return output;
}

std::map<std::string, std::string> linesByKey(const std::string& text, int keyWords) {
  std::map<std::string, std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    std::size_t split = 0;
    for (int word = 0; word < keyWords; ++word) split = line.find(' ', split + 1);
    lines[line.substr(0, split)] = line.substr(split + 1);
  }
  return lines;
}

TextTable twoRecords() {
  const std::vector<std::vector<std::string>> rows = {
      {"序号", "id", "name", "code"}, {"1", "7", "张三", "007"}, {"2", "8", "李四", "010"}};
  TextTable grid(3, 4);
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 4; ++c) grid.cell(r, c) = rows[r][c];
  return grid;
}

class SpreadsheetExport : public ::testing::Test {
 protected:
  SpreadsheetDesktop desktop() {
    return {[this] { return applicationAvailable; },
            [this](const std::filesystem::path& file) {
              opened.push_back(file);
              return true;
            },
            dir.path() / "exports"};
  }
  ExportEnvironment environment() {
    ExportEnvironment env;
    env.createObject = [this](std::string_view progId, HandoverReportPtr report) {
      return progId == "Excel.Application"
                 ? createSpreadsheetApplication(desktop(), std::move(report))
                 : AutomationObject();
    };
    return env;
  }

  tabulor::testing::TempDir dir;
  bool applicationAvailable = true;
  std::vector<std::filesystem::path> opened;
};

TEST_F(SpreadsheetExport, WritesTheGridAsTextWithItsFormattingAndOpensIt) {
  const std::optional<Notice> message = exportGridToSpreadsheet(twoRecords(), environment());
  EXPECT_EQ(message->title, "系统提示！");

  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0].parent_path(), dir.path() / "exports");
  EXPECT_EQ(opened[0].extension(), ".xlsx");
  EXPECT_EQ(opened[0].filename().string().rfind("导出表格_", 0), 0u) << opened[0];

  if (std::string_view(TABULOR_PYTHON3).empty())
    GTEST_SKIP() << "no Python on this system to read the workbook back";
  const std::string readBackText = readBack(dir, opened[0].string());
  const auto book = linesByKey(readBackText, 1);
  const std::string header = "s @ 10.0 False thin thin center None";
  const std::string body = "s @ 10.0 False thin thin None None";
  const std::map<std::string, std::string> expectedCells = {
      {"A1", "'序号' " + header}, {"B1", "'id' " + header}, {"C1", "'name' " + header},
      {"D1", "'code' " + header}, {"A2", "'1' " + body},    {"B2", "'7' " + body},
      {"C2", "'张三' " + body},   {"D2", "'007' " + body},  {"A3", "'2' " + body},
      {"B3", "'8' " + body},      {"C3", "'李四' " + body}, {"D3", "'010' " + body}};
  for (const auto& [cell, expected] : expectedCells) EXPECT_EQ(book.at(cell), expected) << cell;
  EXPECT_EQ(book.at("selection"), "B2");
  EXPECT_EQ(book.at("dimensions"), "A1:D3");

  const auto rows = linesByKey(readBackText, 2);
  for (const char* row : {"row 1", "row 2", "row 3"}) EXPECT_EQ(rows.at(row), "18.0") << row;
  // Fitted to the longest text: "序号" and "张三" are as wide as "name" and "code"; "id" is
  // the narrowest.
  const double a = std::stod(rows.at("width A")), b = std::stod(rows.at("width B"));
  EXPECT_DOUBLE_EQ(std::stod(rows.at("width C")), a);
  EXPECT_DOUBLE_EQ(std::stod(rows.at("width D")), a);
  EXPECT_LT(b, a);
}

TEST_F(SpreadsheetExport, WithoutADesktopApplicationForXlsxTheUserIsWarned) {
  applicationAvailable = false;
  EXPECT_EQ(exportGridToSpreadsheet(twoRecords(), environment()),
            (Notice{"你的计算机上没有 EXCEL 程序", "", 0x30}));
  EXPECT_TRUE(opened.empty());
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "exports"));
}

TEST_F(SpreadsheetExport, GridOfOneRowWritesNothing) {
  TextTable noData(1, 1);
  noData.cell(0, 0) = "无数据";
  EXPECT_EQ(exportGridToSpreadsheet(noData, environment()),
            (Notice{"没有数据，不能导出", "", 0x30}));
  EXPECT_TRUE(opened.empty());
}

TEST_F(SpreadsheetExport, CancelledWhileCopyingWritesNothing) {
  ExportEnvironment cancelling = environment();
  cancelling.keepGoing = [] { return false; };
  EXPECT_EQ(exportGridToSpreadsheet(twoRecords(), cancelling), std::nullopt);
  EXPECT_TRUE(opened.empty());
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "exports"));
}

TEST(XlsxWriter, TellsWhyAWorkbookCannotBeWritten) {
  tabulor::testing::TempDir dir;
  Workbook book;
  book.sheets.emplace_back("Sheet1");
  EXPECT_EQ(writeXlsx(book, dir.file("book.xlsx")), "");
  EXPECT_EQ(writeXlsx(book, dir.file("missing-folder/book.xlsx")),
            "无法创建工作簿文件：文件或文件夹不存在")
      << "told in the program's words";
}

TEST(ExportSize, AGridIsRefusedWhenItExceedsTheSheetOrTheCellsHeld) {
  const struct {
    std::int64_t rows, columns;
    bool refused;
  } cases[] = {
      {3, 4, false},    {1048576, 4, false}, {2048, 2048, false},    {1048577, 2, true},
      {2, 16385, true}, {2049, 2048, true},  {1048576, 16384, true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(exportSizeRefusal(c.rows, c.columns).has_value(), c.refused)
        << c.rows << " x " << c.columns;
}

}  // namespace
}  // namespace tabulor
