// The commands of the menu "其它操作": the console, transactions and the diagnostics.
#pragma once

class QPoint;

namespace tabulor {

class HostWindow;
class SqlConsoleWindow;

// Menu "执行SQL语句" and toolbar button 14: opens the console modally and returns at once;
// the console deletes itself when closed.
SqlConsoleWindow* openSqlConsole(HostWindow& window);

// The commands of the menu "其它操作" after the console.
void startTransactionCommand(HostWindow& window);
void commitTransactionCommand(HostWindow& window);
void rollbackTransactionCommand(HostWindow& window);
void showLastErrorText(HostWindow& window);
void showLastErrorCode(HostWindow& window);
void showLastInsertId(HostWindow& window);

}  // namespace tabulor
