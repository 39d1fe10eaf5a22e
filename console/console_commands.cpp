// The commands of the menu "其它操作" (console, transactions, diagnostics), bound to it.

#include "console/console_commands.h"

#include <QMenu>
#include <QToolBar>
#include <QTreeWidget>

#include "app/main_window.h"
#include "app/subsystem_commands.h"
#include "console/core/transaction_commands.h"
#include "console/sql_console_window.h"
#include "platform/egrid.h"
#include "platform/prompts.h"

namespace tabulor {

SqlConsoleWindow* openSqlConsole(MainWindow& window) {
  auto* console = new SqlConsoleWindow(window);
  console->setAttribute(Qt::WA_DeleteOnClose);
  console->setWindowModality(Qt::ApplicationModal);
  console->show();
  return console;
}

void startTransactionCommand(MainWindow& window) {
  window.applyOutcome(startTransaction(window.state().db));
}

void commitTransactionCommand(MainWindow& window) {
  window.applyOutcome(commitTransaction(window.state().db));
}

void rollbackTransactionCommand(MainWindow& window) {
  window.applyOutcome(rollbackTransaction(window.state().db));
}

void showLastErrorText(MainWindow& window) {
  showNotice(lastErrorTextNotice(window.state().consoleError.lastError(window.state().db).text));
}

void showLastErrorCode(MainWindow& window) {
  showNotice(lastErrorCodeNotice(window.state().consoleError.lastError(window.state().db).code));
}

void showLastInsertId(MainWindow& window) { showNotice(lastInsertIdNotice(window.state().db)); }

void connectConsoleCommands(MainWindow& window) {
  window.onCommand(Command::RunSql, [&window] { openSqlConsole(window); });
  window.onCommand(Command::BeginTransaction, [&window] { startTransactionCommand(window); });
  window.onCommand(Command::CommitTransaction, [&window] { commitTransactionCommand(window); });
  window.onCommand(Command::RollbackTransaction, [&window] { rollbackTransactionCommand(window); });
  window.onCommand(Command::LastErrorText, [&window] { showLastErrorText(window); });
  window.onCommand(Command::LastErrorCode, [&window] { showLastErrorCode(window); });
  window.onCommand(Command::LastInsertId, [&window] { showLastInsertId(window); });
}

}  // namespace tabulor
