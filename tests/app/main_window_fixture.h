#pragma once

#include <memory>
#include <string>

#include <gtest/gtest.h>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStringList>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeWidget>

#include "app/app_state.h"
#include "app/main_window.h"
#include "platform/egrid.h"
#include "platform/qstring_conversion.h"
#include "sqlitedb/sqlite_db.h"
#include "support/scripted_prompts.h"
#include "support/temp_dir.h"
#include "support/test_environment.h"

namespace tabulor::testing {

// The main window's controls, found by their designed names in its client area as tools
// that drive the window find them.
struct DesignedControls {
  explicit DesignedControls(const MainWindow& window)
      : client(window.findChild<QWidget*>(QStringLiteral("client"), Qt::FindDirectChildrenOnly)) {}

  template <typename Control>
  Control* find(const char* name) const {
    auto* found = client ? client->findChild<Control*>(QString::fromUtf8(name)) : nullptr;
    EXPECT_NE(found, nullptr) << "no control " << name;
    return found;
  }

  QWidget* client;
  QToolBar* 工具条1 = find<QToolBar>("工具条1");
  QComboBox* 组合框_显示内容 = find<QComboBox>("组合框_显示内容");
  QTreeWidget* 树型框1 = find<QTreeWidget>("树型框1");
  QGroupBox* 分组框1 = find<QGroupBox>("分组框1");
  QPlainTextEdit* 编辑框_表或视图定义 = find<QPlainTextEdit>("编辑框_表或视图定义");
  EGrid* 高级表格1 = find<EGrid>("高级表格1");
  QLineEdit* 编辑框_表基本信息 = find<QLineEdit>("编辑框_表基本信息");
  QGroupBox* 分组框_字段读写 = find<QGroupBox>("分组框_字段读写");
  QComboBox* 组合框_记录序号 = find<QComboBox>("组合框_记录序号");
  QComboBox* 组合框_字段名称 = find<QComboBox>("组合框_字段名称");
  QTabWidget* 高级选择夹1 = find<QTabWidget>("高级选择夹1");
  QLineEdit* 编辑框_表名称 = find<QLineEdit>("编辑框_表名称");
  QPlainTextEdit* 编辑框_操作日志 = find<QPlainTextEdit>("编辑框_操作日志");
};

// A main window in a temporary program folder, with scripted prompts and a fixed clock
// (3 May 2024, 14:05:30).
class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() { QDir().mkpath(programFolder()); }

  QString programFolder() const { return QString::fromStdString(dir.file("program")); }
  // A file in the test's folder, spelt as the system spells it (as the program shows paths).
  QString path(const std::string& name) const {
    return QDir::toNativeSeparators(QString::fromStdU16String(dir.at(name).u16string()));
  }
  QString backupFolderPath() const { return programFolder() + QStringLiteral("/数据库备份"); }

  // Creates a database file by running the SQL (UTF-8 source text, so in the UTF-8
  // code page), and returns its path.
  QString makeDatabase(const std::string& name, const std::string& sql) {
    SqliteDB db;
    EXPECT_TRUE(db.open(toProgramText(path(name)), true));
    if (!sql.empty()) {
      EXPECT_TRUE(db.execute(sql)) << db.errorText();
    }
    db.close();
    return path(name);
  }

  MainWindow& start(const QStringList& arguments = {}) {
    environment.setArguments(arguments);
    window = std::make_unique<MainWindow>(state);
    window->onMainWindowCreated();
    return *window;
  }

  DesignedControls ui() const { return DesignedControls(*window); }

  // Shows the log as its lines (the first, empty one dropped).
  QStringList logLines() const {
    QStringList lines = window->logText().split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.front().isEmpty()) lines.removeFirst();
    return lines;
  }

  // The tree as "text" lines, children indented by two blanks per level.
  QStringList treeLines() const {
    QStringList lines;
    const std::function<void(QTreeWidgetItem*, int)> walk = [&](QTreeWidgetItem* item, int depth) {
      lines << QString(depth * 2, QLatin1Char(' ')) + item->text(0);
      for (int i = 0; i < item->childCount(); ++i) walk(item->child(i), depth + 1);
    };
    for (int i = 0; i < ui().树型框1->topLevelItemCount(); ++i)
      walk(ui().树型框1->topLevelItem(i), 0);
    return lines;
  }

  // True when the main window is in its no-database state.
  bool inNoDatabaseState() const {
    bool disabled = true;
    using enum Command;
    for (Command command : {CloseDatabaseButton, NewTable, ModifyTable, ClearTable, DropTable,
                            NewView, ModifyView, RenameView, DropView})
      disabled = disabled && !window->toolbarButton(command)->isEnabled();
    for (const char* title : {"表", "视图", "其它操作", "帮助"})
      disabled = disabled && !window->menu(QString::fromUtf8(title))->isEnabled();
    return disabled && !window->action(Command::CloseDatabase)->isEnabled() &&
           !window->action(Command::BackupDatabase)->isEnabled() &&
           window->windowTitle() == QStringLiteral("Tabulor");
  }

  TempDir dir;
  ScopedTestEnvironment environment{programFolder()};
  ScopedScriptedPrompts prompts;
  AppState state;
  std::unique_ptr<MainWindow> window;  // last: destroyed first
};

}  // namespace tabulor::testing
