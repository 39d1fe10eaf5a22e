#include "app/main_window.h"
#include "app/subsystem_commands.h"

namespace tabulor {

void connectConsoleCommands(MainWindow&) {}

}  // namespace tabulor
