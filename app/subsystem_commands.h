// Where each subsystem binds the commands it owns; the main window calls this once.
#pragma once

namespace tabulor {

class HostWindow;

// Each window subsystem binds the commands it owns (app/command.h: menu items and toolbar
// buttons) to its handlers; the main window calls them once its controls exist.
void connectEditingCommands(HostWindow& window);
void connectExportCommands(HostWindow& window);
void connectSchemaCommands(HostWindow& window);
void connectConsoleCommands(HostWindow& window);
void connectFileCommands(HostWindow& window);
void connectTransferCommands(HostWindow& window);

inline void connectSubsystemCommands(HostWindow& window) {
  connectEditingCommands(window);
  connectExportCommands(window);
  connectSchemaCommands(window);
  connectConsoleCommands(window);
  connectFileCommands(window);
  connectTransferCommands(window);
}

}  // namespace tabulor
