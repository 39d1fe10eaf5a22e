// The commands of the menu "其它操作": the console, transactions and the diagnostics.
#pragma once

class QPoint;

namespace tabulor {

class MainWindow;
class SqlConsoleWindow;

// Menu "执行SQL语句" and toolbar button 14: opens the console modally and returns at once;
// the console deletes itself when closed.
SqlConsoleWindow* openSqlConsole(MainWindow& window);

// The commands of the menu "其它操作" after the console.
void startTransactionCommand(MainWindow& window);
void commitTransactionCommand(MainWindow& window);
void rollbackTransactionCommand(MainWindow& window);
void showLastErrorText(MainWindow& window);
void showLastErrorCode(MainWindow& window);
void showLastInsertId(MainWindow& window);

}  // namespace tabulor
