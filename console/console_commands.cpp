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
  window.onMenu(QStringLiteral("执行SQL语句"), [&window] { openSqlConsole(window); });
  window.onMenu(QStringLiteral("开始事务"), [&window] { startTransactionCommand(window); });
  window.onMenu(QStringLiteral("提交事务"), [&window] { commitTransactionCommand(window); });
  window.onMenu(QStringLiteral("回滚事务"), [&window] { rollbackTransactionCommand(window); });
  window.onMenu(QStringLiteral("取错误文本"), [&window] { showLastErrorText(window); });
  window.onMenu(QStringLiteral("取错误码"), [&window] { showLastErrorCode(window); });
  window.onMenu(QStringLiteral("取最新插入ID"), [&window] { showLastInsertId(window); });
}

}  // namespace tabulor
