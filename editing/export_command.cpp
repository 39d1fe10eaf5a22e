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
  const ExportMessage message =
      exportGridToSpreadsheet(shownGridCells(*window.高级表格1), environment);
  prompts().messageBox(QString::fromStdString(message.text), QString::fromStdString(message.title),
                       message.flags);
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
