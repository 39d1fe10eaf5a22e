// Binds the database file commands to their menu items and to the main window's start and end.

#include "app/main_window.h"
#include "app/subsystem_commands.h"
#include "files/database_drop.h"
#include "files/database_files.h"
#include "files/database_info_window.h"
#include "platform/environment.h"

namespace tabulor {

void connectFileCommands(MainWindow& window) {
  window.onMenu(QStringLiteral("新建数据库..."), [&window] { newDatabase(window); });
  window.onMenu(QStringLiteral("打开数据库..."), [&window] { openDatabase(window); });
  window.onMenu(QStringLiteral("关闭数据库"), [&window] { closeDatabaseCommand(window); });
  window.onMenu(QStringLiteral("备份数据库"), [&window] { backupDatabase(window); });
  window.onMenu(QStringLiteral("删除数据库"), [&window] { deleteDatabase(window); });
  window.onMenu(QStringLiteral("数据库信息"), [&window] { openInfoWindow(window); });
  QObject::connect(&window, &MainWindow::closeButtonClicked, &window,
                   [&window] { closeDatabase(window); });
  QObject::connect(&window, &MainWindow::started, &window, [&window] {
    closeDatabase(window);
    const QStringList arguments = environment().arguments();
    if (!arguments.isEmpty()) openDatabaseFile(window, arguments.constFirst(), false);
  });
  QObject::connect(&window, &MainWindow::ending, &window, [&window] { closeDatabase(window); });
  connectDatabaseDrops(window);
}

}  // namespace tabulor
