#include <QAction>

#include "app/main_window.h"
#include "app/subsystem_commands.h"
#include "files/database_drop.h"
#include "files/database_files.h"
#include "files/database_info_window.h"
#include "platform/environment.h"

namespace tabulor {

void connectFileCommands(MainWindow& window) {
  const auto onMenu = [&window](const char* caption, void (*command)(MainWindow&)) {
    QObject::connect(window.menuAction(QString::fromUtf8(caption)), &QAction::triggered, &window,
                     [&window, command] { command(window); });
  };
  onMenu("新建数据库...", newDatabase);
  onMenu("打开数据库...", openDatabase);
  onMenu("关闭数据库", closeDatabaseCommand);
  onMenu("备份数据库", backupDatabase);
  onMenu("删除数据库", deleteDatabase);
  QObject::connect(window.menuAction(QStringLiteral("数据库信息")), &QAction::triggered, &window,
                   [&window] { openInfoWindow(window); });
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
