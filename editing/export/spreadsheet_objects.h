// The automation objects of the in-process spreadsheet application (internal).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "editing/export/member_dispatch.h"
#include "editing/export/spreadsheet_application.h"
#include "editing/export/spreadsheet_desktop.h"
#include "editing/export/spreadsheet_model.h"

namespace tabulor {

// Shared by every object of one application; its end is the hand-over to the desktop.
struct SpreadsheetState {
  SpreadsheetState(SpreadsheetDesktop desktop, HandoverReportPtr report)
      : desktop(std::move(desktop)), report(std::move(report)) {}
  ~SpreadsheetState();
  SpreadsheetState(const SpreadsheetState&) = delete;
  SpreadsheetState& operator=(const SpreadsheetState&) = delete;

  SpreadsheetDesktop desktop;
  HandoverReportPtr report;
  bool visible = false;
  std::vector<std::unique_ptr<Workbook>> books;
  Workbook* activeBook = nullptr;
};

using SpreadsheetStatePtr = std::shared_ptr<SpreadsheetState>;

// A rectangle of one worksheet, with the members that read and format it.
AutomationObject makeRangeObject(SpreadsheetStatePtr state, Worksheet* sheet, CellRange range);

// The one 32-bit integer argument at index, if that is what it is.
const std::int32_t* integerArgument(const MemberDispatch::Args& args, std::size_t index);

}  // namespace tabulor
