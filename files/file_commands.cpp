// Binds the database file commands to their menu items and to the main window's start and end.

#include "app/host_window.h"
#include "app/subsystem_commands.h"
#include "files/database_drop.h"
#include "files/database_files.h"
#include "files/database_info_window.h"
#include "platform/environment.h"

namespace tabulor {

void connectFileCommands(HostWindow& window) {
  window.onCommand(Command::NewDatabase, [&window] { newDatabase(window); });
  window.onCommand(Command::OpenDatabase, [&window] { openDatabase(window); });
  window.onCommand(Command::CloseDatabase, [&window] { closeDatabaseCommand(window); });
  window.onCommand(Command::BackupDatabase, [&window] { backupDatabase(window); });
  window.onCommand(Command::DeleteDatabase, [&window] { deleteDatabase(window); });
  window.onCommand(Command::DatabaseInfo, [&window] { openInfoWindow(window); });
  window.onCommand(Command::CloseDatabaseButton, [&window] { closeDatabase(window); });
  QObject::connect(&window, &HostWindow::started, &window, [&window] {
    closeDatabase(window);
    const QStringList arguments = environment().arguments();
    if (!arguments.isEmpty()) openDatabaseFile(window, arguments.constFirst(), false);
  });
  QObject::connect(&window, &HostWindow::ending, &window, [&window] { closeDatabase(window); });
  connectDatabaseDrops(window);
}

}  // namespace tabulor
