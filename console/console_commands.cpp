#include "console/console_commands.h"

#include <QAction>
#include <QMenu>
#include <QToolBar>
#include <QTreeWidget>

#include "app/main_window.h"
#include "app/subsystem_commands.h"
#include "console/sql_console_window.h"
#include "console/transaction_commands.h"
#include "platform/egrid.h"

namespace tabulor {

SqlConsoleWindow* openSqlConsole(MainWindow& window) {
  auto* console = new SqlConsoleWindow(window);
  console->setAttribute(Qt::WA_DeleteOnClose);
  console->setWindowModality(Qt::ApplicationModal);
  console->show();
  return console;
}

void startTransactionCommand(MainWindow& window) {
  showNotice(startTransactionCommand(window.state().db));
}

void commitTransactionCommand(MainWindow& window) {
  showNotice(commitTransactionCommand(window.state().db));
}

void rollbackTransactionCommand(MainWindow& window) {
  showNotice(rollbackTransactionCommand(window.state().db));
}

void showLastErrorText(MainWindow& window) {
  showNotice(lastErrorTextNotice(window.state().consoleError.lastError(window.state().db).text));
}

void showLastErrorCode(MainWindow& window) {
  showNotice(lastErrorCodeNotice(window.state().consoleError.lastError(window.state().db).code));
}

void showLastInsertId(MainWindow& window) { showNotice(lastInsertIdNotice(window.state().db)); }

void connectConsoleCommands(MainWindow& window) {
  const auto bind = [&window](const char* caption, void (*handler)(MainWindow&)) {
    QObject::connect(window.menuAction(QString::fromUtf8(caption)), &QAction::triggered, &window,
                     [&window, handler] { handler(window); });
  };
  QObject::connect(window.menuAction(QStringLiteral("执行SQL语句")), &QAction::triggered, &window,
                   [&window] { openSqlConsole(window); });
  bind("开始事务", startTransactionCommand);
  bind("提交事务", commitTransactionCommand);
  bind("回滚事务", rollbackTransactionCommand);
  bind("取错误文本", showLastErrorText);
  bind("取错误码", showLastErrorCode);
  bind("取最新插入ID", showLastInsertId);
}

}  // namespace tabulor
