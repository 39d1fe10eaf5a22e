#include "editing/export_command.h"

#include <QAction>
#include <QCoreApplication>

#include "app/main_window.h"
#include "app/subsystem_commands.h"
#include "platform/egrid.h"
#include "platform/program_text.h"
#include "platform/prompts.h"

namespace tabulor {

TextTable shownGridCells(const EGrid& grid) {
  TextTable cells(grid.rowCount(), grid.columnCount());
  for (int row = 0; row < cells.rowCount(); ++row)
    for (int column = 0; column < cells.columnCount(); ++column)
      cells.cell(row, column) = toProgramText(grid.cellText(row, column));
  return cells;
}

void exportMainGrid(MainWindow& window, const ExportEnvironment& environment) {
  const EGrid& grid = *window.高级表格1;
  // A grid too large for a workbook is refused before it is copied.
  std::optional<ExportMessage> message = exportSizeRefusal(grid.rowCount(), grid.columnCount());
  if (!message) message = exportGridToSpreadsheet(shownGridCells(grid), environment);
  prompts().messageBox(QString::fromStdString(message->text),
                       QString::fromStdString(message->title), message->flags);
}

void connectExportCommands(MainWindow& window) {
  QObject::connect(window.menuAction(QStringLiteral("导出表格")), &QAction::triggered, &window,
                   [&window] {
                     ExportEnvironment environment;
                     // Keeps the window painting and answering while a large grid is copied.
                     environment.processEvents = [] { QCoreApplication::processEvents(); };
                     exportMainGrid(window, environment);
                   });
}

}  // namespace tabulor
