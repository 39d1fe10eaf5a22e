// Where each subsystem binds the commands it owns; the main window calls this once.
#pragma once

namespace tabulor {

class MainWindow;

// Each window subsystem binds the commands it owns (app/command.h: menu items and toolbar
// buttons) to its handlers; the main window calls them once its controls exist.
void connectEditingCommands(MainWindow& window);
void connectExportCommands(MainWindow& window);
void connectSchemaCommands(MainWindow& window);
void connectConsoleCommands(MainWindow& window);
void connectFileCommands(MainWindow& window);
void connectTransferCommands(MainWindow& window);

inline void connectSubsystemCommands(MainWindow& window) {
  connectEditingCommands(window);
  connectExportCommands(window);
  connectSchemaCommands(window);
  connectConsoleCommands(window);
  connectFileCommands(window);
  connectTransferCommands(window);
}

}  // namespace tabulor
