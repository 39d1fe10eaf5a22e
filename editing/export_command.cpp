#include "app/main_window.h"
#include "app/subsystem_commands.h"

namespace tabulor {

void connectExportCommands(MainWindow&) {}

}  // namespace tabulor
