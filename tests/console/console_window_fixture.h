#pragma once

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTextCursor>
#include <QTreeWidget>

#include "app/main_window_fixture.h"
#include "console/console_commands.h"
#include "console/sql_console_window.h"
#include "platform/egrid.h"

namespace tabulor::testing {

// A main window on a database with table t(a, b) holding (1, 'one') and (2, 'two'), and
// the console opened from the menu. The console shows itself without blocking, so the
// tests drive its handlers and read its controls.
class ConsoleWindowTest : public MainWindowTest {
 protected:
  void SetUp() override {
    start({makeDatabase("console.db",
                        "create table t (a integer, b text);"
                        "insert into t values (1, 'one'); insert into t values (2, 'two');")});
    prompts.clear();
  }

  SqlConsoleWindow& openConsole() {
    window->action(Command::RunSql)->trigger();
    console = window->findChild<SqlConsoleWindow*>();
    EXPECT_NE(console, nullptr);
    return *console;
  }

  // Typing replaces the whole text, as an edit (the mode follows it).
  void type(const QString& sql) { console->编辑框_SQL语句->setPlainText(sql); }
  bool queryMode() const { return console->单选框_查询类SQL->isChecked(); }
  bool executeMode() const { return console->单选框_执行类SQL->isChecked(); }
  void setMode(bool query) {
    (query ? console->单选框_查询类SQL : console->单选框_执行类SQL)->setChecked(true);
  }
  void run(const QString& sql) {
    type(sql);
    console->runConsoleSql();
  }

  // Closes the console and lets it go, as the user's click on "关闭" does.
  void closeConsole() {
    console->closeSqlConsole();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    console = nullptr;
  }

  void menu(Command command) { window->action(command)->trigger(); }

  // The last message box as {text, title, flags}.
  std::tuple<QString, QString, int> lastBox() const {
    const auto boxes = prompts.records(ScriptedPrompts::Kind::Message);
    if (boxes.empty()) return {};
    return {boxes.back().text, boxes.back().title, boxes.back().flags};
  }

  SqlConsoleWindow* console = nullptr;
};

inline std::tuple<QString, QString, int> box(const char* text, const char* title, int flags) {
  return {QString::fromUtf8(text), QString::fromUtf8(title), flags};
}

inline std::tuple<QString, QString, int> runFailedBox(const QString& engineText) {
  return {QStringLiteral("SQL语句执行失败！错误信息如下：\r\n\r\n") + engineText,
          QStringLiteral("错误："), 0x10};
}

}  // namespace tabulor::testing
