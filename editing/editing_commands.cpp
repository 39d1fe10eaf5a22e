// Binds the main grid's editing signals and the record items of the menu "表" to handlers.

#include "app/host_window.h"
#include "app/subsystem_commands.h"
#include "editing/record_commands.h"
#include "platform/egrid.h"

namespace tabulor {

void connectEditingCommands(HostWindow& window) {
  const EGrid* grid = &window.grid();
  QObject::connect(grid, &EGrid::editorAboutToOpen, &window,
                   [&window](int row, int column) { rememberCellText(window, row, column); });
  QObject::connect(grid, &EGrid::editEnded, &window,
                   [&window](int row, int column) { writeBackCellEdit(window, row, column); });
  QObject::connect(grid, &EGrid::rightButtonReleased, &window,
                   [&window](int, int, const QPoint& at) { showTableMenuOnGrid(window, at); });
  window.onCommand(Command::InsertEmptyRecord, [&window] { insertEmptyRecord(window); });
  window.onCommand(Command::InsertRecord, [&window] { insertFixedTestRecord(window); });
  window.onCommand(Command::DeleteCurrentRecord, [&window] { deleteCurrentRecord(window); });
}

}  // namespace tabulor
