// Work that never ends on a hostile file: the window keeps answering, 取消 stops the work,
// the file and the window are as before and the log says the work was cancelled.
#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>

#include "app/main_window_fixture.h"
#include "app/structure_tree.h"
#include "editing/record_commands.h"
#include "sqlitedb/sqlite_dataset.h"
#include "sqlitedb/text_table.h"

namespace tabulor::testing {
namespace {

const char* const kHostileSql =
    "CREATE TABLE t (id INTEGER PRIMARY KEY, name TEXT);"
    "INSERT INTO t VALUES (1, 'old');"
    "CREATE TABLE sink (n);"
    "CREATE VIEW forever AS WITH RECURSIVE r(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM r)"
    " SELECT n FROM r;"
    "CREATE TRIGGER endless AFTER UPDATE ON t BEGIN"
    " INSERT INTO sink WITH RECURSIVE r(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM r)"
    " SELECT n FROM r; END;"
    "CREATE TRIGGER endless_delete AFTER DELETE ON t BEGIN"
    " INSERT INTO sink WITH RECURSIVE r(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM r)"
    " SELECT n FROM r; END;";

// The busy dialog, over whichever window is active.
QProgressDialog* busyDialog() {
  for (QWidget* top : QApplication::topLevelWidgets())
    if (auto* dialog = top->findChild<QProgressDialog*>(QStringLiteral("进度框_长时间操作")))
      return dialog;
  return nullptr;
}

// Clicks 取消 as soon as the busy dialog offers it, as a user would: once, or every time it
// is offered. The clicks reach it through the events the work itself lets through. Notes
// each label it saw, and each it cancelled on.
class CancellingUser {
 public:
  enum Clicks { Once, EveryTime };
  explicit CancellingUser(Clicks clicks = Once) {
    timer_.setInterval(0);
    QObject::connect(&timer_, &QTimer::timeout, [this, clicks] {
      QProgressDialog* dialog = busyDialog();
      if (!dialog || !dialog->isVisible()) return;
      label = dialog->findChild<QLabel*>()->text();
      if (!seen.contains(label)) seen << label;
      if (auto* cancel = dialog->findChild<QPushButton*>()) {
        cancelledOn << label;
        cancel->click();
        if (clicks == Once) timer_.stop();
      }
    });
    timer_.start();
  }
  QString label;  // the last one seen
  QStringList seen;
  QStringList cancelledOn;

 private:
  QTimer timer_;
};

class LongWork : public MainWindowTest {
 protected:
  void SetUp() override {
    database = makeDatabase("hostile.db", kHostileSql);
    start({database});
    prompts.clear();
    // Each reading of the clock counts as 10 ms of work.
    environment.setTickStep(10);
  }
  void select(const QString& object) {
    const auto items = ui().树型框1->findItems(object, Qt::MatchExactly | Qt::MatchRecursive);
    ASSERT_FALSE(items.isEmpty());
    ui().树型框1->setCurrentItem(items.front());
  }
  // 清空表 on t, answered Yes, while the clock runs as for long work.
  void clearTableT() {
    environment.setTickStep(0);
    select(QStringLiteral("t"));
    prompts.clear();
    prompts.queueAnswer(Answer::Yes);
    environment.setTickStep(10);
    window->action(Command::ClearTable)->trigger();
  }
  std::string value(const std::string& sql) const {
    SqliteDB db;
    if (!db.open(toProgramText(database))) return "<no database>";
    auto query = db.query(sql);
    return query->requery() ? query->fetchAllText(false).cell(0, 0) : "<failed>";
  }
  QString database;
};

TEST_F(LongWork, AViewThatNeverEndsCanBeCancelledAndLeftAlone) {
  CancellingUser user;
  select(QStringLiteral("forever"));

  EXPECT_EQ(user.label, QStringLiteral("正在打开视图：forever，请稍候……"));
  EXPECT_TRUE(prompts.records().empty()) << "no error box for a cancelled show";
  EXPECT_EQ(logLines().last(), QStringLiteral("已取消：打开视图：forever"));
  EXPECT_EQ(ui().高级表格1->cellText(0, 0), QStringLiteral("无数据"));
  EXPECT_TRUE(ui().编辑框_表或视图定义->toPlainText().isEmpty());

  environment.setTickStep(0);
  select(QStringLiteral("t"));
  EXPECT_EQ(logLines().last(), QStringLiteral("打开表：t")) << "the tree is still usable";
  EXPECT_EQ(ui().高级表格1->cellText(1, 2), QStringLiteral("old"));
}

TEST_F(LongWork, AnEditWhoseTriggerNeverEndsLeavesTheOldValueInFileAndGrid) {
  environment.setTickStep(0);
  select(QStringLiteral("t"));
  prompts.clear();
  environment.setTickStep(10);
  CancellingUser user;
  rememberCellText(*window, 1, 2);
  ui().高级表格1->setCellText(1, 2, QStringLiteral("new"));
  writeBackCellEdit(*window, 1, 2);

  EXPECT_EQ(user.label, QStringLiteral("正在修改字段值，请稍候……"));
  EXPECT_TRUE(prompts.records().empty()) << "no error box for a cancelled edit";
  EXPECT_EQ(logLines().last(), QStringLiteral("已取消：修改字段值"));
  EXPECT_EQ(value("SELECT name FROM t"), "old");
  EXPECT_EQ(value("SELECT count(*) FROM sink"), "0");
  environment.setTickStep(0);
  QCoreApplication::processEvents();
  EXPECT_EQ(ui().高级表格1->cellText(1, 2), QStringLiteral("old"));
}

// A menu command is watched like any other work; its failure box is held back, and the
// table is shown afresh in full after it.
TEST_F(LongWork, ACancelledClearLeavesEveryRowAndSaysSoOnce) {
  CancellingUser user;
  clearTableT();

  EXPECT_EQ(user.label, QStringLiteral("正在清空表，请稍候……"));
  EXPECT_EQ(prompts.records().size(), 1u) << "the question alone, no error box";
  EXPECT_EQ(logLines().mid(logLines().size() - 2),
            QStringList({QStringLiteral("已取消：清空表"), QStringLiteral("打开表：t")}))
      << "the table is shown afresh in full after the cancel";
  EXPECT_EQ(ui().高级表格1->cellText(1, 2), QStringLiteral("old"));
  EXPECT_EQ(value("SELECT count(*) FROM t"), "1");
  EXPECT_EQ(value("SELECT count(*) FROM sink"), "0");
}

// Interrupting a statement inside the user's transaction would undo all of it.
TEST_F(LongWork, InsideTheUsersTransactionTheDialogSaysWhyItCannotBeCancelled) {
  environment.setTickStep(0);
  ASSERT_TRUE(state.db.beginTransaction());
  ASSERT_TRUE(
      state.db.execute("CREATE VIEW slow AS WITH RECURSIVE r(n) AS (SELECT 1 UNION ALL"
                       " SELECT n + 1 FROM r WHERE n < 3000000) SELECT n FROM r"));
  window->reloadStructureTree();
  // The count runs beside the window, which looks at it every 10 ms: a few looks must make
  // the half second before the dialog.
  environment.setTickStep(500);
  QString label;
  bool cancelOffered = true;
  QTimer watcher;
  watcher.setInterval(0);
  QObject::connect(&watcher, &QTimer::timeout, [&] {
    if (QProgressDialog* dialog = busyDialog()) {
      label = dialog->findChild<QLabel*>()->text();
      cancelOffered = dialog->findChild<QPushButton*>() != nullptr;
    }
  });
  watcher.start();
  select(QStringLiteral("slow"));

  EXPECT_TRUE(label.startsWith(QStringLiteral("正在打开视图：slow，请稍候……\n")))
      << label.toStdString();
  EXPECT_TRUE(label.contains(QStringLiteral("不能取消")));
  EXPECT_FALSE(cancelOffered);
  EXPECT_EQ(logLines().last(), QStringLiteral("打开视图：slow"));
  EXPECT_TRUE(state.db.inTransaction());
}

// The program's own reads after a cancelled command show the whole file.
TEST_F(LongWork, TheTreeAfterACancelledCommandHoldsEveryTable) {
  environment.setTickStep(0);
  std::string tables;
  for (int i = 0; i < 3000; ++i) tables += "CREATE TABLE a" + std::to_string(i) + " (x);";
  SqliteDB db;
  ASSERT_TRUE(db.open(toProgramText(database)));
  ASSERT_TRUE(db.execute(tables));
  db.close();
  window->reloadStructureTree();
  const int items = treeLines().size();
  CancellingUser user(CancellingUser::EveryTime);
  clearTableT();

  EXPECT_EQ(user.cancelledOn, QStringList{QStringLiteral("正在清空表，请稍候……")});
  EXPECT_EQ(treeLines().size(), items);
  EXPECT_EQ(ui().高级表格1->cellText(1, 2), QStringLiteral("old"));
}

TEST_F(LongWork, AQuestionAfterACancelledCommandIsAsked) {
  {
    CancellingUser user;
    clearTableT();
  }
  environment.setTickStep(0);
  prompts.clear();
  prompts.queueAnswer(Answer::No);
  deleteCurrentRecord(*window);
  EXPECT_EQ(prompts.messages(), QStringList{QStringLiteral("您确认要删除当前记录吗？")});
}

// A write whose table must be read again afterwards: its trigger changes another table,
// and its row ids have gaps, so the reload reads them all, for long.
const char* const kSlowReloadSql =
    "CREATE TABLE g (id INTEGER PRIMARY KEY, v TEXT);"
    "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 400000)"
    " INSERT INTO g SELECT 2 * i, 'v' || i FROM n;"
    "CREATE TABLE changes (n);"
    "CREATE TRIGGER g_update AFTER UPDATE ON g BEGIN INSERT INTO changes VALUES (1); END;"
    "CREATE TRIGGER g_delete AFTER DELETE ON g BEGIN INSERT INTO changes VALUES (1); END;";

// Once a change is committed, the command is done: 取消 is not offered while the program
// reads the table again, and the change is reported as made.
class CommittedWrite : public LongWork {
 protected:
  void SetUp() override {
    database = makeDatabase("writes.db", kSlowReloadSql);
    start({database});
    select(QStringLiteral("g"));
    ui().组合框_记录序号->setCurrentIndex(0);
    ui().组合框_字段名称->setCurrentIndex(1);
    prompts.clear();
    environment.setTickStep(10);
  }
  void expectNoCancelOf(const CancellingUser& user, const QString& command) {
    EXPECT_TRUE(user.seen.contains(QStringLiteral("正在") + command + QStringLiteral("，请稍候……")))
        << "the reload was long enough for the dialog: " << user.seen.join(',').toStdString();
    for (const QString& label : user.cancelledOn)
      EXPECT_FALSE(label.contains(command)) << label.toStdString();
    EXPECT_FALSE(logLines().contains(QStringLiteral("已取消：") + command));
  }
};

TEST_F(CommittedWrite, ADeleteIsReportedAsDone) {
  prompts.queueAnswer(Answer::Yes);
  CancellingUser user(CancellingUser::EveryTime);
  window->action(Command::DeleteCurrentRecord)->trigger();
  EXPECT_EQ(value("SELECT count(*) FROM g"), "399999");
  EXPECT_TRUE(prompts.messages().contains(QStringLiteral("已成功删除当前记录。")));
  expectNoCancelOf(user, QStringLiteral("删除当前记录"));
}

TEST_F(CommittedWrite, ACellEditIsLogged) {
  CancellingUser user(CancellingUser::EveryTime);
  rememberCellText(*window, 1, 2);
  ui().高级表格1->setCellText(1, 2, QStringLiteral("new"));
  writeBackCellEdit(*window, 1, 2);
  EXPECT_EQ(value("SELECT v FROM g WHERE id = 2"), "new");
  EXPECT_TRUE(logLines().contains(QStringLiteral("已修改 v 字段值：new")));
  expectNoCancelOf(user, QStringLiteral("修改字段值"));
}

TEST_F(CommittedWrite, AFieldWriteIsReportedAsDone) {
  auto* text = window->findChild<QPlainTextEdit*>(QStringLiteral("编辑框_文本字段值"));
  auto* write = window->findChild<QPushButton*>(QStringLiteral("按钮_写文本字段值"));
  ASSERT_TRUE(text && write);
  text->setPlainText(QStringLiteral("written"));
  CancellingUser user(CancellingUser::EveryTime);
  write->click();
  EXPECT_EQ(value("SELECT v FROM g WHERE id = 2"), "written");
  EXPECT_TRUE(prompts.messages().contains(QStringLiteral("已成功写入字段值！")));
  expectNoCancelOf(user, write->text());
}

}  // namespace
}  // namespace tabulor::testing
