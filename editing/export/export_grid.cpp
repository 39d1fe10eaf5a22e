// The export sequence: the shown grid into a new workbook through automation, after a size check.

#include "editing/export/export_grid.h"

#include "editing/export/spreadsheet_model.h"
#include "sqlitedb/codepage.h"

namespace tabulor {
namespace {

constexpr int kWarning = 0x30;
constexpr int kInformation = 0x40;

// Cells copied between two calls of keepGoing: often enough for a smooth window, rarely
// enough to cost the copy nothing.
constexpr int kCellsPerCall = 4096;

// Element (i, j) of the transfer array gets grid cell (i - 1, j - 1), converted from
// program text as every text sent to the server is. False when the user cancelled.
bool fillArray(Variant& array, const TextTable& grid, const std::function<bool()>& keepGoing) {
  VariantArray* elements = array.array();
  if (!elements || elements->rows() != grid.rowCount() || elements->columns() != grid.columnCount())
    return true;
  int cellsSinceCall = 0;
  for (int j = 1; j <= grid.columnCount(); ++j) {
    for (int i = 1; i <= grid.rowCount(); ++i) {
      elements->at(i, j) = toUtf8(grid.cell(i - 1, j - 1)).value_or(std::string());
      if (++cellsSinceCall == kCellsPerCall) {
        cellsSinceCall = 0;
        if (!keepGoing()) return false;
      }
    }
  }
  return keepGoing();
}

// The automation sequence, call by call. Each object is released as soon as no later
// step needs it; a failed step leaves an empty object and the rest goes on quietly.
// False when the user cancelled while the cells were copied.
bool runSequence(AutomationObject& application, const TextTable& grid, const Variant& a1,
                 const std::function<bool()>& keepGoing) {
  const std::int32_t rows = grid.rowCount();
  const std::int32_t cols = grid.columnCount();

  application.put("Visible", {true});
  AutomationObject book;
  {
    AutomationObject books = application.get("Workbooks").object();
    book = books.call("Add").object();
  }
  book.call("Activate");
  book = application.get("ActiveWorkbook").object();
  book.put("AutoUpdateSaveChanges", {false});
  AutomationObject sheet;
  {
    AutomationObject sheets = book.get("Sheets").object();
    sheet = sheets.get("Item", {1}).object();
  }
  {
    AutomationObject data;
    {
      AutomationObject cell = sheet.get("Range", {a1, a1}).object();
      data = cell.get("Resize", {rows, cols}).object();
    }
    data.put("NumberFormat", {"@"});
    Variant array = data.get("Value");
    if (!fillArray(array, grid, keepGoing)) return false;
    data.put("Value", {std::move(array)});
    data.get("borders").object().put("Weight", {2});
    data.put("RowHeight", {18});
    data.get("Font").object().put("Size", {10});
  }
  AutomationObject header;
  {
    AutomationObject cell = sheet.get("Range", {a1, a1}).object();
    header = cell.get("Resize", {1, cols}).object();
  }
  // White as an RGB value: the application takes palette indexes only and refuses it,
  // so the header row keeps no fill.
  header.get("Interior").object().put("Colorindex", {16777215});
  header.get("Font").object().put("Bold", {false});
  header.get("Columns").object().put("HorizontalAlignment", {3});
  sheet.get("Range", {"B2"}).object().call("Select");
  {
    AutomationObject whole;
    {
      AutomationObject cells = sheet.get("Cells").object();
      whole = cells.get("EntireColumn").object();
    }
    whole.put("AutoFit", {});
  }
  book.put("Saved", {true});
  // The application has no Close: the call fails quietly and the workbook stays open
  // for the user, marked as saved so that closing it asks nothing.
  application.call("Close");
  header.release();
  sheet.release();
  book.release();
  return true;
}

}  // namespace

std::optional<Notice> exportSizeRefusal(std::int64_t rows, std::int64_t columns) {
  if (rows <= kSheetRows && columns <= kSheetColumns &&
      static_cast<std::uint64_t>(rows * columns) <= kMaxSheetCells)
    return std::nullopt;
  return makeNotice(
      "表格太大，不能导出：共 " + std::to_string(rows) + " 行、" + std::to_string(columns) +
          " 列，导出最多 " + std::to_string(kMaxSheetCells) + " 个单元格（" +
          std::to_string(kSheetRows) + " 行、" + std::to_string(kSheetColumns) + " 列以内）。",
      kWarning, "");
}

std::optional<Notice> exportGridToSpreadsheet(const TextTable& grid,
                                              const ExportEnvironment& environment) {
  const std::int64_t t0 = environment.nowSeconds();
  const auto handover = std::make_shared<HandoverReport>();
  AutomationObject application = environment.createObject("Excel.Application", handover);
  if (!application) return makeNotice("你的计算机上没有 EXCEL 程序", kWarning, "");
  // One row is the header alone, or the grid's single "无数据" cell.
  if (grid.rowCount() <= 1) return makeNotice("没有数据，不能导出", kWarning, "");
  if (auto refusal = exportSizeRefusal(grid.rowCount(), grid.columnCount())) return *refusal;
  const Variant a1("A1");
  if (!runSequence(application, grid, a1, environment.keepGoing)) {
    // An application no one sees keeps its workbook to itself when it is released.
    application.put("Visible", {false});
    application.release();
    return std::nullopt;
  }
  // Released, the application writes the workbook and hands it over.
  environment.handOver([&application] { application.release(); });
  if (!handover->failure.empty())
    return Notice{
        programTextFromUtf8("导出失败！") + fromUtf8(handover->failure).value_or(std::string()), "",
        kWarning};
  const std::int64_t t1 = environment.nowSeconds();
  return makeNotice("导出完毕！共用时：" + std::to_string(t1 - t0) + " 秒", kInformation,
                    "系统提示！");
}

}  // namespace tabulor
