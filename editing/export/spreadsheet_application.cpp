// The spreadsheet application's objects down to the worksheet, and the hand-over to the desktop.

#include "editing/export/spreadsheet_application.h"

#include <ctime>
#include <system_error>

#include "editing/export/spreadsheet_objects.h"
#include "editing/export/xlsx_writer.h"
#include "sqlitedb/codepage.h"
#include "sqlitedb/text_scanning.h"

namespace tabulor {
namespace {

using Args = MemberDispatch::Args;

// Empty when the folder is there; otherwise why it cannot be made.
std::string ensurePrivateFolder(const std::filesystem::path& folder) {
  std::error_code error;
  if (std::filesystem::is_directory(folder, error)) return {};
  if (!std::filesystem::create_directories(folder, error))
    return "无法创建存放工作簿的文件夹 " + utf8FromPath(folder) + "（" +
           systemErrorText(error.value()) + "）";
  std::filesystem::permissions(folder, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::replace, error);
  return {};
}

// Writes every workbook and hands it to the desktop; empty, or why that failed.
std::string handOver(const SpreadsheetState& state) {
  if (std::string failure = ensurePrivateFolder(state.desktop.folder); !failure.empty())
    return failure;
  for (const auto& book : state.books) {
    const std::filesystem::path path = newWorkbookPath(state.desktop.folder, std::time(nullptr));
    if (std::string failure = writeXlsx(*book, utf8FromPath(path)); !failure.empty())
      return "无法写入工作簿文件 " + utf8FromPath(path) + "（" + failure + "）";
    if (!state.desktop.open(path)) return "无法用电子表格程序打开工作簿 " + utf8FromPath(path);
  }
  return {};
}

class WorksheetObject : public MemberDispatch {
 public:
  WorksheetObject(SpreadsheetStatePtr state, Worksheet* sheet) {
    // Range("B2"), Range("A1:D3") or Range(first, last): the span of both references.
    addProperty("Range", [state, sheet](const Args& args) -> std::optional<Variant> {
      if (args.empty() || args.size() > 2) return std::nullopt;
      std::optional<CellRange> range;
      for (const Variant& arg : args) {
        auto part = arg.text() ? parseRangeReference(*arg.text()) : std::nullopt;
        if (!part) return std::nullopt;
        range = range ? spanning(*range, *part) : *part;
      }
      return makeRangeObject(state, sheet, *range);
    });
    addProperty("Cells", [state, sheet](const Args& args) -> std::optional<Variant> {
      if (!args.empty()) return std::nullopt;
      return makeRangeObject(state, sheet, CellRange{1, 1, kSheetRows, kSheetColumns});
    });
  }
};

class SheetsObject : public MemberDispatch {
 public:
  SheetsObject(SpreadsheetStatePtr state, Workbook* book) {
    addProperty("Item", [state, book](const Args& args) -> std::optional<Variant> {
      const std::int32_t* index = integerArgument(args, 0);
      if (!index || args.size() != 1 || *index < 1 ||
          *index > static_cast<int>(book->sheets.size()))
        return std::nullopt;
      Worksheet* sheet = &book->sheets[static_cast<std::size_t>(*index - 1)];
      return AutomationObject(std::make_shared<WorksheetObject>(state, sheet));
    });
  }
};

class WorkbookObject : public MemberDispatch {
 public:
  WorkbookObject(SpreadsheetStatePtr state, Workbook* book) {
    addMethod("Activate", [state, book](const Args&) -> std::optional<Variant> {
      state->activeBook = book;
      return Variant();
    });
    // Accepted and without effect here: only shared workbooks update on save, and the
    // workbook is never saved by this application, only handed to the desktop's, which
    // asks its own questions on closing.
    auto acceptFlag = [](const Args& index, const Variant& value) {
      return index.empty() && value.boolean() != nullptr;
    };
    addProperty("AutoUpdateSaveChanges", nullptr, acceptFlag);
    addProperty("Saved", nullptr, acceptFlag);
    addProperty("Sheets", [state, book](const Args& args) -> std::optional<Variant> {
      if (!args.empty()) return std::nullopt;
      return AutomationObject(std::make_shared<SheetsObject>(state, book));
    });
  }
};

AutomationObject workbookObject(const SpreadsheetStatePtr& state, Workbook* book) {
  return AutomationObject(std::make_shared<WorkbookObject>(state, book));
}

class WorkbooksObject : public MemberDispatch {
 public:
  explicit WorkbooksObject(SpreadsheetStatePtr state) {
    addMethod("Add", [state](const Args& args) -> std::optional<Variant> {
      if (!args.empty()) return std::nullopt;
      auto book = std::make_unique<Workbook>();
      book->sheets.emplace_back("Sheet1");
      state->books.push_back(std::move(book));
      state->activeBook = state->books.back().get();
      return workbookObject(state, state->activeBook);
    });
  }
};

class ApplicationObject : public MemberDispatch {
 public:
  explicit ApplicationObject(SpreadsheetStatePtr state) {
    addProperty("Visible", nullptr, [state](const Args& index, const Variant& value) {
      if (!index.empty() || !value.boolean()) return false;
      state->visible = *value.boolean();
      return true;
    });
    addProperty("Workbooks", [state](const Args& args) -> std::optional<Variant> {
      if (!args.empty()) return std::nullopt;
      return AutomationObject(std::make_shared<WorkbooksObject>(state));
    });
    addProperty("ActiveWorkbook", [state](const Args& args) -> std::optional<Variant> {
      if (!args.empty() || !state->activeBook) return std::nullopt;
      return workbookObject(state, state->activeBook);
    });
  }
};

}  // namespace

SpreadsheetState::~SpreadsheetState() {
  if (!visible || books.empty()) return;
  std::string failure = handOver(*this);
  if (report && !failure.empty()) report->failure = std::move(failure);
}

const std::int32_t* integerArgument(const Args& args, std::size_t index) {
  return index < args.size() ? args[index].integer() : nullptr;
}

AutomationObject createSpreadsheetApplication(SpreadsheetDesktop desktop,
                                              HandoverReportPtr report) {
  if (!desktop.applicationAvailable()) return AutomationObject();
  auto state = std::make_shared<SpreadsheetState>(std::move(desktop), std::move(report));
  return AutomationObject(std::make_shared<ApplicationObject>(state));
}

AutomationObject createAutomationObject(std::string_view progId, HandoverReportPtr report) {
  if (!equalsIgnoringAsciiCase(progId, "Excel.Application")) return AutomationObject();
  return createSpreadsheetApplication(systemSpreadsheetDesktop(), std::move(report));
}

}  // namespace tabulor
