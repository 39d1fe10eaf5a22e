#include <QAction>

#include "app/main_window.h"
#include "app/subsystem_commands.h"
#include "files/database_info_window.h"

namespace tabulor {

void connectDatabaseInfoCommands(MainWindow& window) {
  QObject::connect(window.menuAction(QStringLiteral("数据库信息")), &QAction::triggered, &window,
                   [&window] { openInfoWindow(window); });
}

}  // namespace tabulor
