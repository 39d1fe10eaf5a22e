#include "console/console_commands.h"

#include <QAction>
#include <QMenu>
#include <QToolBar>
#include <QTreeWidget>

#include "app/main_window.h"
#include "app/subsystem_commands.h"
#include "console/kept_error.h"
#include "console/sql_console_window.h"
#include "console/transaction_commands.h"
#include "platform/egrid.h"

namespace tabulor {
namespace {

// Holds the kept failure as a child of the main window, so it lives and dies with it.
const QString kShareName = QStringLiteral("SQL控制台共享状态");

class ConsoleShare : public QObject {
 public:
  explicit ConsoleShare(QObject* parent) : QObject(parent) { setObjectName(kShareName); }
  KeptEngineError keptError;
};

// Commands that never reach the engine; any other one ends a kept failure.
bool leavesEngineAlone(const QString& caption) {
  return caption == QStringLiteral("取错误文本") || caption == QStringLiteral("取错误码") ||
         caption == QStringLiteral("取最新插入ID") || caption == QStringLiteral("关于") ||
         caption == QStringLiteral("数据库信息");
}

// Whatever the user does next in the main window speaks for the connection again.
void forgetKeptErrorOnNextUse(MainWindow& window) {
  KeptEngineError& kept = keptEngineError(window);
  const auto forget = [&kept] { kept.forget(); };
  for (const char* title : {"数据库", "表", "视图", "其它操作", "帮助"})
    for (QAction* action : window.menu(QString::fromUtf8(title))->actions())
      if (!action->isSeparator() && !leavesEngineAlone(action->text()))
        QObject::connect(action, &QAction::triggered, &window, forget);
  QObject::connect(window.toolbarButton(2), &QAction::triggered, &window, forget);
  QObject::connect(window.树型框1, &QTreeWidget::currentItemChanged, &window, forget);
  QObject::connect(window.高级表格1->gridModel(), &EGridModel::cellEdited, &window, forget);
}

}  // namespace

KeptEngineError& keptEngineError(MainWindow& window) {
  auto* share = dynamic_cast<ConsoleShare*>(
      window.findChild<QObject*>(kShareName, Qt::FindDirectChildrenOnly));
  if (!share) share = new ConsoleShare(&window);
  return share->keptError;
}

SqlConsoleWindow* openSqlConsole(MainWindow& window) {
  auto* console = new SqlConsoleWindow(window, keptEngineError(window));
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
  showNotice(lastErrorTextNotice(keptEngineError(window).lastError(window.state().db).text));
}

void showLastErrorCode(MainWindow& window) {
  showNotice(lastErrorCodeNotice(keptEngineError(window).lastError(window.state().db).code));
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
  forgetKeptErrorOnNextUse(window);
}

}  // namespace tabulor
