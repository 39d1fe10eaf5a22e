// The command "导出表格": the main grid's shown cells into the spreadsheet export.

#include "editing/export_command.h"

#include "app/host_window.h"
#include "app/subsystem_commands.h"
#include "platform/busy_progress.h"
#include "platform/egrid.h"
#include "platform/prompts.h"
#include "platform/qstring_conversion.h"

namespace tabulor {

std::optional<TextTable> shownGridCells(const EGrid& grid, const std::function<bool()>& keepGoing) {
  TextTable cells(grid.rowCount(), grid.columnCount());
  for (int row = 0; row < cells.rowCount(); ++row) {
    for (int column = 0; column < cells.columnCount(); ++column)
      cells.cell(row, column) = toProgramText(grid.cellText(row, column));
    if (!keepGoing()) return std::nullopt;
  }
  return cells;
}

void exportMainGrid(HostWindow& window, ExportEnvironment environment) {
  const EGrid& grid = window.grid();
  // A grid too large for a workbook is refused before it is copied.
  std::optional<Notice> message = exportSizeRefusal(grid.rowCount(), grid.columnCount());
  if (!message) {
    BusyProgress busy(&window, QStringLiteral("正在导出表格，请稍候……"), true);
    environment.keepGoing = [&busy] { return busy.keepGoing(); };
    environment.handOver = [&busy](const std::function<void()>& step) {
      busy.endCancelling();
      busy.runWithoutCallbacks(step);
    };
    const std::optional<TextTable> cells = shownGridCells(grid, environment.keepGoing);
    if (!cells) return;
    message = exportGridToSpreadsheet(*cells, environment);
  }
  if (!message) return;
  showNotice(*message);
}

void connectExportCommands(HostWindow& window) {
  window.onCommand(Command::ExportTable,
                   [&window] { exportMainGrid(window, ExportEnvironment()); });
}

}  // namespace tabulor
