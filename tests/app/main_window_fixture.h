#pragma once

#include <memory>
#include <string>

#include <gtest/gtest.h>
#include <QAction>
#include <QDir>
#include <QMenu>
#include <QStringList>
#include <QTreeWidget>

#include "app/app_state.h"
#include "app/main_window.h"
#include "platform/environment.h"
#include "platform/program_text.h"
#include "platform/prompts.h"
#include "sqlitedb/sqlite_db.h"
#include "support/temp_dir.h"

namespace tabulor::testing {

// A main window in a temporary program folder, with scripted prompts and a fixed clock
// (3 May 2024, 14:05:30).
class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() { QDir().mkpath(programFolder()); }

  QString programFolder() const { return QString::fromStdString(dir.file("program")); }
  QString path(const std::string& name) const { return QString::fromStdString(dir.file(name)); }
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
    for (int i = 0; i < window->树型框1->topLevelItemCount(); ++i)
      walk(window->树型框1->topLevelItem(i), 0);
    return lines;
  }

  // True when the main window is in its no-database state.
  bool inNoDatabaseState() const {
    bool disabled = true;
    for (int n = 2; n <= 12; ++n) disabled = disabled && !window->toolbarButton(n)->isEnabled();
    for (const char* title : {"表", "视图", "其它操作", "帮助"})
      disabled = disabled && !window->menu(QString::fromUtf8(title))->isEnabled();
    return disabled && !window->menuAction(QStringLiteral("关闭数据库"))->isEnabled() &&
           !window->menuAction(QStringLiteral("备份数据库"))->isEnabled() &&
           window->windowTitle() == QStringLiteral("Tabulor");
  }

  TempDir dir;
  ScopedTestEnvironment environment{programFolder()};
  ScopedScriptedPrompts prompts;
  AppState state;
  std::unique_ptr<MainWindow> window;  // last: destroyed first
};

}  // namespace tabulor::testing
