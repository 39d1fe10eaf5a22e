// The workbook model through libxlsxwriter: one format per distinct cell format, failure texts.

#include "editing/export/xlsx_writer.h"

#include <xlsxwriter.h>

#include <array>
#include <cerrno>
#include <filesystem>
#include <map>
#include <string>

#include "sqlitedb/codepage.h"

namespace tabulor {
namespace {

// The desktop spreadsheet's default 56-colour palette, indexed by ColorIndex - 1.
constexpr std::array<lxw_color_t, 56> kPalette = {
    0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF,
    0x800000, 0x008000, 0x000080, 0x808000, 0x800080, 0x008080, 0xC0C0C0, 0x808080,
    0x9999FF, 0x993366, 0xFFFFCC, 0xCCFFFF, 0x660066, 0xFF8080, 0x0066CC, 0xCCCCFF,
    0x000080, 0xFF00FF, 0xFFFF00, 0x00FFFF, 0x800080, 0x800000, 0x008080, 0x0000FF,
    0x00CCFF, 0xCCFFFF, 0xCCFFCC, 0xFFFF99, 0x99CCFF, 0xFF99CC, 0xCC99FF, 0xFFCC99,
    0x3366FF, 0x33CCCC, 0x99CC00, 0xFFCC00, 0xFF9900, 0xFF6600, 0x666699, 0x969696,
    0x003366, 0x339966, 0x003300, 0x333300, 0x993300, 0x993366, 0x333399, 0x333333};

uint8_t borderStyle(int weight) {
  switch (weight) {
    case 1:
      return LXW_BORDER_HAIR;
    case 2:
      return LXW_BORDER_THIN;
    case 4:
      return LXW_BORDER_THICK;
    default:
      return LXW_BORDER_MEDIUM;
  }
}

uint8_t alignment(HorizontalAlignment value) {
  switch (value) {
    case HorizontalAlignment::left:
      return LXW_ALIGN_LEFT;
    case HorizontalAlignment::center:
      return LXW_ALIGN_CENTER;
    case HorizontalAlignment::right:
      return LXW_ALIGN_RIGHT;
    case HorizontalAlignment::general:
      break;
  }
  return LXW_ALIGN_NONE;
}

// One workbook format per distinct cell format; the default format is no format.
class Formats {
 public:
  explicit Formats(lxw_workbook* book) : book_(book) {}

  lxw_format* get(const CellFormat& format) {
    if (format == CellFormat{}) return nullptr;
    auto [at, added] = formats_.try_emplace(format, nullptr);
    if (added) at->second = create(format);
    return at->second;
  }

 private:
  lxw_format* create(const CellFormat& format) {
    lxw_format* made = workbook_add_format(book_);
    if (format.textFormat) format_set_num_format(made, "@");
    if (format.borderWeight != 0) format_set_border(made, borderStyle(format.borderWeight));
    format_set_font_size(made, format.fontSize);
    if (format.bold) format_set_bold(made);
    if (format.alignment != HorizontalAlignment::general)
      format_set_align(made, alignment(format.alignment));
    if (format.colorIndex >= 1 && format.colorIndex <= static_cast<int>(kPalette.size())) {
      format_set_pattern(made, LXW_PATTERN_SOLID);
      format_set_bg_color(made, kPalette[static_cast<std::size_t>(format.colorIndex - 1)]);
    }
    return made;
  }

  lxw_workbook* book_;
  std::map<CellFormat, lxw_format*> formats_;
};

lxw_error writeSheet(const Worksheet& sheet, lxw_worksheet* out, Formats& formats) {
  for (int row = 1; row <= sheet.usedRows(); ++row) {
    for (int column = 1; column <= sheet.usedColumns(); ++column) {
      const Cell* cell = sheet.findCell(row, column);
      lxw_format* format = formats.get(cell->format);
      if (cell->text.empty() && !format) continue;
      // An empty text is written as a blank cell that keeps its format.
      const lxw_error error =
          worksheet_write_string(out, static_cast<lxw_row_t>(row - 1),
                                 static_cast<lxw_col_t>(column - 1), cell->text.c_str(), format);
      if (error != LXW_NO_ERROR) return error;
    }
  }
  for (const auto& [row, height] : sheet.rowHeights())
    worksheet_set_row(out, static_cast<lxw_row_t>(row - 1), height, nullptr);
  for (const auto& [column, width] : sheet.columnWidths())
    worksheet_set_column(out, static_cast<lxw_col_t>(column - 1),
                         static_cast<lxw_col_t>(column - 1), width, nullptr);
  const CellRange& selected = sheet.selection();
  worksheet_set_selection(out, static_cast<lxw_row_t>(selected.row - 1),
                          static_cast<lxw_col_t>(selected.column - 1),
                          static_cast<lxw_row_t>(selected.lastRow() - 1),
                          static_cast<lxw_col_t>(selected.lastColumn() - 1));
  return LXW_NO_ERROR;
}

// The writer's failure in the program's words; the library's own text is English.
std::string workbookErrorText(lxw_error error) {
  switch (error) {
    case LXW_ERROR_MEMORY_MALLOC_FAILED:
      return "内存不足";
    case LXW_ERROR_CREATING_XLSX_FILE:
      return "无法创建工作簿文件";
    case LXW_ERROR_CREATING_TMPFILE:
      return "无法创建临时文件";
    case LXW_ERROR_READING_TMPFILE:
      return "无法读取临时文件";
    case LXW_ERROR_ZIP_FILE_OPERATION:
    case LXW_ERROR_ZIP_PARAMETER_ERROR:
    case LXW_ERROR_ZIP_BAD_ZIP_FILE:
    case LXW_ERROR_ZIP_INTERNAL_ERROR:
    case LXW_ERROR_ZIP_FILE_ADD:
    case LXW_ERROR_ZIP_CLOSE:
      return "压缩工作簿文件时出错";
    case LXW_ERROR_SHEETNAME_LENGTH_EXCEEDED:
      return "工作表名称太长";
    case LXW_ERROR_INVALID_SHEETNAME_CHARACTER:
      return "工作表名称含有不允许的字符";
    case LXW_ERROR_SHEETNAME_START_END_APOSTROPHE:
      return "工作表名称不能以单引号开头或结尾";
    case LXW_ERROR_SHEETNAME_ALREADY_USED:
      return "工作表名称重复";
    default:
      return "写工作簿时出错（错误码 " + std::to_string(static_cast<int>(error)) + "）";
  }
}

}  // namespace

std::string systemErrorText(int error) {
  switch (error) {
    case ENOENT:
      return "文件或文件夹不存在";
    case ENOTDIR:
      return "路径中有一项不是文件夹";
    case EACCES:
    case EPERM:
      return "没有权限";
    case ENOSPC:
      return "磁盘空间不足";
#ifdef EDQUOT
    case EDQUOT:
      return "超出磁盘配额";
#endif
    case EROFS:
      return "只读的文件系统";
    case EEXIST:
      return "已存在同名文件";
    case ENAMETOOLONG:
      return "文件名太长";
    case EIO:
      return "输入输出错误";
    default:
      return "系统错误 " + std::to_string(error);
  }
}

std::string writeXlsx(const Workbook& book, const std::string& path) {
  lxw_workbook* out = workbook_new(path.c_str());
  if (!out) return workbookErrorText(LXW_ERROR_MEMORY_MALLOC_FAILED);
  Formats formats(out);
  lxw_error error = LXW_NO_ERROR;
  for (const Worksheet& sheet : book.sheets) {
    lxw_worksheet* sheetOut = workbook_add_worksheet(out, sheet.name().c_str());
    if (error != LXW_NO_ERROR) continue;
    if (sheetOut)
      error = writeSheet(sheet, sheetOut, formats);
    else if ((error = workbook_validate_sheet_name(out, sheet.name().c_str())) == LXW_NO_ERROR)
      error = LXW_ERROR_MEMORY_MALLOC_FAILED;
  }
  // Closing writes the file, so a folder that cannot take it or a full disk shows here,
  // with the system's reason.
  errno = 0;
  const lxw_error closed = workbook_close(out);
  int systemError = errno;
  // On Windows the library creates the file with the system's own calls, which leave errno
  // alone: a missing folder is told the same way.
  std::error_code ignored;
  if (closed != LXW_NO_ERROR && systemError == 0 &&
      !std::filesystem::is_directory(pathFromUtf8(path).parent_path(), ignored))
    systemError = ENOENT;
  if (error != LXW_NO_ERROR) return workbookErrorText(error);
  if (closed == LXW_NO_ERROR) return {};
  std::string reason = workbookErrorText(closed);
  if (systemError != 0) reason += "：" + systemErrorText(systemError);
  return reason;
}

}  // namespace tabulor
