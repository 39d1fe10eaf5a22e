#include <sqlite3.h>

#include <fstream>

#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "console_window_fixture.h"
#include "files/database_files.h"
#include "sqlitedb/sqlite_dataset.h"
#include "support/code_page_scope.h"

namespace tabulor::testing {
namespace {

using ConsoleWindow = ConsoleWindowTest;

QStringList consoleTree(const QTreeWidget& tree) {
  QStringList lines;
  for (int i = 0; i < tree.topLevelItemCount(); ++i) {
    const QTreeWidgetItem* table = tree.topLevelItem(i);
    lines << table->text(0);
    for (int j = 0; j < table->childCount(); ++j)
      lines << QStringLiteral("  ") + table->child(j)->text(0);
  }
  return lines;
}

QStringList gridRow(const EGrid& grid, int row) {
  QStringList cells;
  for (int c = 0; c < grid.columnCount(); ++c) cells << grid.cellText(row, c);
  return cells;
}

TEST_F(ConsoleWindow, OpensFromMenuAndToolbarEvenWithoutADatabase) {
  closeDatabase(*window);
  ASSERT_TRUE(inNoDatabaseState());
  window->toolbarButton(Command::RunSql)->trigger();
  console = window->findChild<SqlConsoleWindow*>();
  ASSERT_NE(console, nullptr);
  EXPECT_EQ(console->windowTitle(), QStringLiteral("执行SQL语句"));
  EXPECT_TRUE(console->isModal());
  EXPECT_EQ(console->树型框1->topLevelItemCount(), 0);
  EXPECT_TRUE(queryMode());
  EXPECT_FALSE(executeMode());

  run(QStringLiteral("select 1"));
  EXPECT_EQ(lastBox(), runFailedBox(QString()));
  setMode(false);
  console->runConsoleSql();
  EXPECT_EQ(lastBox(), runFailedBox(QString()));
  closeConsole();
  EXPECT_EQ(window->findChild<SqlConsoleWindow*>(), nullptr);
}

TEST_F(ConsoleWindow, TreeListsTheTablesWithTheirFieldsOnly) {
  ASSERT_TRUE(state.db.execute(
      "create table 订单 (编号 integer primary key, 金额); create view v as select a from t;"
      "create temp table tt (y)"));
  openConsole();
  EXPECT_EQ(consoleTree(*console->树型框1),
            QStringList({"t", "  a", "  b", "订单", "  编号", "  金额"}));
}

TEST_F(ConsoleWindow, DoubleClickInsertsTheNameAtTheCaretAndRestoresTheClipboard) {
  struct Case {
    const char* item;  // "table" or "table/field"
    const char* text;
    int selectionStart;
    int selectionEnd;  // equal to the start: a caret
    const char* expected;
  };
  const Case cases[] = {
      {"t", "select * from ", 14, 14, "select * from t"},
      {"t/b", "select  from t", 7, 7, "select t.b from t"},
      {"t/a", "select X from t", 7, 8, "select t.a from t"},  // replaces the selection
  };
  openConsole();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.item);
    environment.setClipboardText(QStringLiteral("earlier text"));
    type(QString::fromUtf8(c.text));
    QTextCursor cursor = console->编辑框_SQL语句->textCursor();
    cursor.setPosition(c.selectionStart);
    cursor.setPosition(c.selectionEnd, QTextCursor::KeepAnchor);
    console->编辑框_SQL语句->setTextCursor(cursor);
    const QStringList path = QString::fromUtf8(c.item).split(QLatin1Char('/'));
    QTreeWidgetItem* item = console->树型框1->findItems(path[0], Qt::MatchExactly).value(0);
    ASSERT_NE(item, nullptr);
    for (int i = 0; path.size() > 1 && i < item->childCount(); ++i)
      if (item->child(i)->text(0) == path[1]) item = item->child(i);
    emit console->树型框1->itemDoubleClicked(item, 0);
    EXPECT_EQ(console->sqlText(), QString::fromUtf8(c.expected));
    EXPECT_EQ(environment.clipboardText(), QStringLiteral("earlier text"));
  }
}

TEST_F(ConsoleWindow, TheInsertedNameCountsAsAnEdit) {
  openConsole();
  setMode(false);
  type(QStringLiteral("select * from "));
  setMode(false);  // the user chose execute after typing
  environment.setClipboardText(QString());
  console->编辑框_SQL语句->moveCursor(QTextCursor::End);
  console->树型框1->setCurrentItem(console->树型框1->topLevelItem(0));
  console->insertTreeNameAtCaret();
  EXPECT_TRUE(queryMode());
  EXPECT_EQ(environment.clipboardText(), QString());
}

TEST_F(ConsoleWindow, ModeFollowsTheFirstWord) {
  struct Case {
    const char* text;
    bool queryBefore;
    bool queryAfter;
  };
  const Case cases[] = {
      {"  SELECT a from t", false, true},
      {"　select 1", false, true},  // full-width blank
      {"selection", false, true},
      {"Update t set a = 1", true, false},
      {"dropped", true, false},
      {"insert into t values (3, 'c')", true, false},
      {"alter table t add c", true, true},
      {"alter table t add c", false, false},
      {"", false, false},
      {"\tselect 1", false, false},  // tabs stay
      {"pragma table_info(t)", true, true},
  };
  openConsole();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    setMode(c.queryBefore);
    type(QString::fromUtf8(c.text));
    EXPECT_EQ(queryMode(), c.queryAfter);
    EXPECT_NE(executeMode(), c.queryAfter);
  }
}

// A query long enough for the busy dialog, then its box, with the real dialogs: the box
// once opened over the busy dialog, which went while the box was up and took it along.
TEST_F(ConsoleWindow, TheBoxAfterALongQueryOutlivesTheBusyDialog) {
  openConsole();
  console->show();
  QApplication::setActiveWindow(console);
  setPrompts(nullptr);
  QString shown;
  QTimer closer;
  closer.setInterval(0);
  QObject::connect(&closer, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    shown = box->text();
    box->accept();
    closer.stop();
  });
  closer.start();
  environment.setTickStep(10);
  run(
      QStringLiteral("with recursive r(n) as (select 1 union all select n + 1 from r"
                     " where n < 200000) select n, n * 2, 'row ' || n from r"));
  setPrompts(&prompts);
  EXPECT_EQ(shown, QStringLiteral("查询成功，查询结果已显示到主窗口表格中。"));
  EXPECT_EQ(ui().高级表格1->rowCount(), 200001);
}

TEST_F(ConsoleWindow, QueryShowsItsRowsInTheMainGrid) {
  window->setTreeSelection(1);  // table t: the data view shows it
  ASSERT_TRUE(window->isTableSelected());
  openConsole();
  run(QStringLiteral("select b, a * 10 as 十倍\nfrom t order by a desc"));
  EXPECT_EQ(lastBox(), box("查询成功，查询结果已显示到主窗口表格中。", "信息：", 0x40));
  EXPECT_EQ(window->treeSelection(), 0);
  EXPECT_FALSE(window->isTableSelected());
  const EGrid& grid = *ui().高级表格1;
  EXPECT_EQ(grid.rowCount(), 3);
  EXPECT_EQ(grid.fixedRowCount(), 1);
  EXPECT_EQ(grid.fixedColumnCount(), 1);
  EXPECT_EQ(gridRow(grid, 0), QStringList({"序号", "b", "十倍"}));
  EXPECT_EQ(gridRow(grid, 1), QStringList({"1", "two", "20"}));
  EXPECT_EQ(gridRow(grid, 2), QStringList({"2", "one", "10"}));
  EXPECT_EQ(ui().编辑框_表或视图定义->toPlainText(),
            QStringLiteral("select b, a * 10 as 十倍\nfrom t order by a desc"));
  EXPECT_TRUE(ui().编辑框_表基本信息->text().isEmpty());
  EXPECT_TRUE(console->isVisible());  // the console stays open
}

TEST_F(ConsoleWindow, AnInsertWithReturningInQueryModeInsertsOnceAndShowsItsRow) {
  openConsole();
  type(QStringLiteral("insert into t(a, b) values (3, 'three') returning a, b"));
  setMode(true);
  console->runConsoleSql();
  EXPECT_EQ(lastBox(), box("查询成功，查询结果已显示到主窗口表格中。", "信息：", 0x40));
  EXPECT_EQ(ui().高级表格1->rowCount(), 2);
  EXPECT_EQ(gridRow(*ui().高级表格1, 1), QStringList({"1", "3", "three"}));
  SqliteDataset check;
  ASSERT_TRUE(check.open("select count(*) from t where a = 3", state.db));
  ASSERT_TRUE(check.requery());
  EXPECT_EQ(check.fetchAllText().cell(0, 0), "1");
}

// The rows are read to their end and the statement rewound before they are shown, so
// neither another program nor the console's next statement waits for the grid.
TEST_F(ConsoleWindow, NoLockStaysOnTheFileWhileAResultIsShown) {
  ASSERT_TRUE(state.db.execute(
      "with recursive n(i) as (select 3 union all select i + 1 from n where i < 5000)"
      " insert into t select i, 'row ' || i from n"));
  openConsole();
  run(QStringLiteral("select a, b from t order by a"));
  ASSERT_EQ(lastBox(), box("查询成功，查询结果已显示到主窗口表格中。", "信息：", 0x40));
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(toProgramText(path("console.db")).c_str(), &other), SQLITE_OK);
  EXPECT_EQ(
      sqlite3_exec(other, "insert into t values (-1, 'other program')", nullptr, nullptr, nullptr),
      SQLITE_OK)
      << sqlite3_errmsg(other);
  sqlite3_close(other);
  const EGrid& grid = *ui().高级表格1;
  EXPECT_EQ(grid.rowCount(), 5001);
  EXPECT_EQ(gridRow(grid, 5000), QStringList({"5000", "5000", "row 5000"}));
  setMode(false);
  run(QStringLiteral("delete from t where a = 5000"));
  EXPECT_EQ(lastBox(), box("SQL语句执行成功！", "信息：", 0x40));
}

TEST_F(ConsoleWindow, FailedQueryShowsTheEngineTextAndLeavesTheGrid) {
  window->setTreeSelection(1);
  const QStringList shown = gridRow(*ui().高级表格1, 1);
  openConsole();
  run(QStringLiteral("select * from missing"));
  EXPECT_EQ(lastBox(), runFailedBox(QStringLiteral("no such table: missing")));
  EXPECT_EQ(gridRow(*ui().高级表格1, 1), shown);
  EXPECT_EQ(window->treeSelection(), 1);
}

// The statement is stopped where it stands and undoes its own work; the user reads that it
// was cancelled, not the engine's "interrupted".
TEST_F(ConsoleWindow, AQueryCancelledByTheUserLeavesTheGridAndSaysSoInTheLog) {
  window->setTreeSelection(1);
  const QStringList shown = gridRow(*ui().高级表格1, 1);
  openConsole();
  prompts.clear();
  environment.setTickStep(10);
  QTimer user;
  user.setInterval(0);
  QObject::connect(&user, &QTimer::timeout, [&user] {
    for (QWidget* top : QApplication::topLevelWidgets())
      if (auto* dialog = top->findChild<QProgressDialog*>(QStringLiteral("进度框_长时间操作")))
        if (auto* cancel = dialog->findChild<QPushButton*>()) {
          cancel->click();
          user.stop();
        }
  });
  user.start();
  run(
      QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n)"
                     " select i from n"));
  environment.setTickStep(0);
  EXPECT_TRUE(prompts.records().empty());
  EXPECT_EQ(window->logText().split(QStringLiteral("\r\n")).last(),
            QStringLiteral("已取消：执行SQL语句"));
  EXPECT_EQ(gridRow(*ui().高级表格1, 1), shown);
}

TEST_F(ConsoleWindow, EmptyQueryRunsThePreviousStatementAgain) {
  openConsole();
  run(QStringLiteral("select a from t order by a"));
  ASSERT_TRUE(state.db.execute("insert into t values (3, 'three')"));
  prompts.clear();
  run(QString());
  EXPECT_EQ(lastBox(), box("查询成功，查询结果已显示到主窗口表格中。", "信息：", 0x40));
  EXPECT_EQ(ui().高级表格1->rowCount(), 4);
  EXPECT_EQ(gridRow(*ui().高级表格1, 3), QStringList({"3", "3"}));
}

TEST_F(ConsoleWindow, TwoStatementsRunTheFirstAsAQueryAndAllAsAnExecute) {
  openConsole();
  setMode(true);
  type(QStringLiteral("select count(*) from t; insert into t values (9, 'nine')"));
  console->runConsoleSql();
  EXPECT_EQ(gridRow(*ui().高级表格1, 1), QStringList({"1", "2"}));

  setMode(false);
  console->runConsoleSql();
  EXPECT_EQ(lastBox(), box("SQL语句执行成功！", "信息：", 0x40));
  SqliteDataset check;
  ASSERT_TRUE(check.open("select count(*) from t where a = 9", state.db));
  ASSERT_TRUE(check.requery());
  EXPECT_EQ(check.fetchAllText().cell(0, 0), "1");
}

TEST_F(ConsoleWindow, ExecuteRefreshesTheMainTreeWhateverTheOutcome) {
  openConsole();
  run(QStringLiteral("create table u (x)"));
  EXPECT_TRUE(executeMode());
  EXPECT_EQ(lastBox(), box("SQL语句执行成功！", "信息：", 0x40));
  EXPECT_TRUE(treeLines().contains(QStringLiteral("  u")));

  run(QStringLiteral("create table w (y); insert into missing values (1)"));
  EXPECT_EQ(lastBox(), runFailedBox(QStringLiteral("no such table: missing")));
  EXPECT_TRUE(treeLines().contains(QStringLiteral("  w")));
  EXPECT_EQ(consoleTree(*console->树型框1), QStringList({"t", "  a", "  b"}));  // filled once
  EXPECT_TRUE(logLines().filter(QStringLiteral("SQL")).isEmpty());
}

// Under code page 936 a character GBK lacks cannot reach the engine: the run fails and
// the statement run before is not run again in its place.
TEST_F(ConsoleWindow, SqlTheCodePageCannotHoldFailsWithoutRunningTheEarlierStatement) {
  CodePageScope page("GBK");
  openConsole();
  run(QStringLiteral("select a from t order by a"));
  const QStringList shown = gridRow(*ui().高级表格1, 1);
  for (const bool query : {true, false}) {
    prompts.clear();
    type(QStringLiteral("insert into t values (5, '\U0001F600')"));
    setMode(query);
    console->runConsoleSql();
    EXPECT_EQ(lastBox(), runFailedBox(QStringLiteral("SQL语句中有本机代码页无法表示的字符。")));
    EXPECT_EQ(prompts.records().size(), 1u);
  }
  EXPECT_EQ(gridRow(*ui().高级表格1, 1), shown);
  SqliteDataset check;
  ASSERT_TRUE(check.open("select count(*) from t", state.db));
  ASSERT_TRUE(check.requery());
  EXPECT_EQ(check.fetchAllText().cell(0, 0), "2");
}

// A file that is not valid UTF-8 but valid GB18030 is decoded as GB18030; a file that is
// neither leaves the SQL text as it was, with a message.
TEST_F(ConsoleWindow, ImportDecodesGb18030AndRefusesTextInNoKnownCodePage) {
  if (!testing::fourByteGb18030Offered()) GTEST_SKIP() << "no four-byte GB18030 on this system";
  // "select 中文, " then U+20000 in GB18030's four-byte form.
  std::ofstream(path("gb.sql").toStdString(), std::ios::binary)
      << "select '\xD6\xD0\xCE\xC4\x95\x32\x82\x36'";
  std::ofstream(path("bad.sql").toStdString(), std::ios::binary) << "select '\x81\x20'";
  openConsole();
  prompts.queueFile(path("gb.sql"));
  console->importSqlFromFile();
  EXPECT_EQ(console->sqlText(), QStringLiteral("select '中文\U00020000'"));
  EXPECT_TRUE(prompts.records(ScriptedPrompts::Kind::Message).empty());

  prompts.queueFile(path("bad.sql"));
  console->importSqlFromFile();
  EXPECT_EQ(console->sqlText(), QStringLiteral("select '中文\U00020000'"));
  EXPECT_EQ(lastBox(),
            std::make_tuple(QStringLiteral("无法读取文件中的文字：它既不是本机代码页的文本，也不是 "
                                           "GB18030 文本。\r\n") +
                                path("bad.sql"),
                            QString(), 0x10));
}

class ConsoleTemplates : public ConsoleWindowTest {
 protected:
  void writeTemplates(const std::string& bytes) {
    std::ofstream out(
        QFile::encodeName(programFolder() + QStringLiteral("/SQL模板.txt")).toStdString(),
        std::ios::binary);
    out << bytes;
  }
  QStringList templateRows() const {
    QStringList rows;
    for (int r = 0; r < console->高级表格1->rowCount(); ++r)
      rows << gridRow(*console->高级表格1, r).join('|');
    return rows;
  }
};

TEST_F(ConsoleTemplates, AreReadFromTheProgramFolderIntoAHiddenList) {
  writeTemplates("select * from t\r\n\r\nupdate t set b = 'x'\r\n");
  openConsole();
  EGrid& grid = *console->高级表格1;
  EXPECT_TRUE(grid.isHidden());
  EXPECT_EQ(templateRows(),
            QStringList({"序号|SQL模板", "1|select * from t", "2|", "3|update t set b = 'x'"}));
  EXPECT_EQ(grid.geometry(), QRect(0, 0, 448, console->height()));
  console->toggleTemplateList();
  EXPECT_FALSE(grid.isHidden());
  console->toggleTemplateList();
  EXPECT_TRUE(grid.isHidden());
}

TEST_F(ConsoleTemplates, AGb18030FileIsDecodedUnderUtf8) {
  writeTemplates("select * from \xB1\xED\r\n");  // 表 in GB18030
  openConsole();
  EXPECT_EQ(templateRows(), QStringList({"序号|SQL模板", "1|select * from 表"}));
}

TEST_F(ConsoleTemplates, AreProgramTextInTheProgramCodePage) {
  CodePageScope page("GBK");
  writeTemplates("select * from \xB1\xED\r\n");  // 表
  openConsole();
  EXPECT_EQ(templateRows(), QStringList({"序号|SQL模板", "1|select * from 表"}));
}

TEST_F(ConsoleTemplates, MissingFileGivesTheHeadingOnly) {
  openConsole();
  EXPECT_EQ(templateRows(), QStringList({"序号|SQL模板"}));
}

// The number column belongs to the list: double-clicking a row's number applies that row.
TEST_F(ConsoleTemplates, DoubleClickingARowNumberAppliesThatRow) {
  writeTemplates("select 1\r\nselect 2");
  openConsole();
  console->toggleTemplateList();
  QHeaderView* numbers = console->高级表格1->verticalHeader();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(console));
  const QPoint at(numbers->width() / 2, numbers->sectionViewportPosition(1) + 5);
  // A double-click: the first click, then the second one, reported as a double-click.
  QTest::mouseClick(numbers->viewport(), Qt::LeftButton, {}, at);
  QTest::mouseDClick(numbers->viewport(), Qt::LeftButton, {}, at);
  EXPECT_EQ(console->sqlText(), QStringLiteral("select 2"));
  EXPECT_TRUE(console->高级表格1->isHidden());
}

TEST_F(ConsoleTemplates, ApplyReplacesTheTextFollowsItsWordAndHidesTheList) {
  writeTemplates("select * from t\r\nupdate t set b = 'x'");
  openConsole();
  EGrid& grid = *console->高级表格1;
  type(QStringLiteral("old text"));

  console->toggleTemplateList();
  console->applySelectedTemplate();  // no current row: nothing happens
  EXPECT_EQ(console->sqlText(), QStringLiteral("old text"));
  EXPECT_FALSE(grid.isHidden());

  grid.setCurrentCell(2, 1);
  emit grid.cellDoubleClicked(2, 1);
  EXPECT_EQ(console->sqlText(), QStringLiteral("update t set b = 'x'"));
  EXPECT_TRUE(executeMode());
  EXPECT_TRUE(grid.isHidden());

  console->toggleTemplateList();
  grid.setCurrentCell(1, 1);
  console->showTemplateMenu(QPoint(30, 40));
  const auto menus = prompts.records(ScriptedPrompts::Kind::Menu);
  ASSERT_EQ(menus.size(), 1u);
  EXPECT_EQ(menus[0].text, QStringLiteral("SQL模板_右键菜单"));
  const QList<QAction*> items = console->SQL模板_右键菜单->actions();
  ASSERT_EQ(items.size(), 3);
  EXPECT_EQ(items[0]->text(), QStringLiteral("应用选中行"));
  EXPECT_TRUE(items[1]->isSeparator());
  EXPECT_EQ(items[2]->text(), QStringLiteral("关闭SQL模板"));
  items[0]->trigger();
  EXPECT_EQ(console->sqlText(), QStringLiteral("select * from t"));
  EXPECT_TRUE(queryMode());

  console->toggleTemplateList();
  items[2]->trigger();
  EXPECT_TRUE(grid.isHidden());
}

TEST_F(ConsoleWindow, ImportReplacesTheTextUpToTheFirstZeroByteAndKeepsTheMode) {
  const std::string bytes = std::string("select a\r\nfrom t") + '\0' + "ignored";
  std::ofstream(path("query.sql").toStdString(), std::ios::binary) << bytes;
  openConsole();
  setMode(false);
  type(QStringLiteral("before"));

  prompts.queueFile(std::nullopt);
  console->importSqlFromFile();
  EXPECT_EQ(console->sqlText(), QStringLiteral("before"));

  prompts.queueFile(path("query.sql"));
  console->importSqlFromFile();
  EXPECT_EQ(console->sqlText(), QStringLiteral("select a\r\nfrom t"));
  EXPECT_TRUE(executeMode());
  const auto dialogs = prompts.records(ScriptedPrompts::Kind::OpenFile);
  ASSERT_EQ(dialogs.size(), 2u);
  EXPECT_EQ(dialogs[1].file.filter,
            QStringLiteral("SQL文件(*.sql)|*.sql|文本文件(*.txt)|*.txt|所有文件(*.*)|*.*"));
}

TEST_F(ConsoleWindow, SqlBoxWidthFollowsTheWindow) {
  openConsole();
  console->resize(800, 500);
  EXPECT_EQ(console->编辑框_SQL语句->geometry(), QRect(176, 32, 800 - 176 - 10, 280));
  EXPECT_EQ(console->按钮_确定->geometry(), QRect(360, 387, 80, 32));
}

}  // namespace
}  // namespace tabulor::testing
