// The commands of the menu "其它操作" (console, transactions, diagnostics), bound to it.

#include "console/console_commands.h"

#include <QMenu>
#include <QToolBar>
#include <QTreeWidget>

#include "app/host_window.h"
#include "app/subsystem_commands.h"
#include "console/core/transaction_commands.h"
#include "console/sql_console_window.h"
#include "platform/egrid.h"
#include "platform/prompts.h"

namespace tabulor {

SqlConsoleWindow* openSqlConsole(HostWindow& window) {
  auto* console = new SqlConsoleWindow(window);
  console->setAttribute(Qt::WA_DeleteOnClose);
  console->setWindowModality(Qt::ApplicationModal);
  console->show();
  return console;
}

void startTransactionCommand(HostWindow& window) {
  window.applyOutcome(startTransaction(window.state().db));
}

void commitTransactionCommand(HostWindow& window) {
  window.applyOutcome(commitTransaction(window.state().db));
}

void rollbackTransactionCommand(HostWindow& window) {
  window.applyOutcome(rollbackTransaction(window.state().db));
}

void showLastErrorText(HostWindow& window) {
  showNotice(lastErrorTextNotice(window.state().consoleError.lastError(window.state().db).text));
}

void showLastErrorCode(HostWindow& window) {
  showNotice(lastErrorCodeNotice(window.state().consoleError.lastError(window.state().db).code));
}

void showLastInsertId(HostWindow& window) { showNotice(lastInsertIdNotice(window.state().db)); }

void connectConsoleCommands(HostWindow& window) {
  window.onCommand(Command::RunSql, [&window] { openSqlConsole(window); });
  window.onCommand(Command::BeginTransaction, [&window] { startTransactionCommand(window); });
  window.onCommand(Command::CommitTransaction, [&window] { commitTransactionCommand(window); });
  window.onCommand(Command::RollbackTransaction, [&window] { rollbackTransactionCommand(window); });
  window.onCommand(Command::LastErrorText, [&window] { showLastErrorText(window); });
  window.onCommand(Command::LastErrorCode, [&window] { showLastErrorCode(window); });
  window.onCommand(Command::LastInsertId, [&window] { showLastInsertId(window); });
}

}  // namespace tabulor
