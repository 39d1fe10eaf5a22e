#include "files/database_files.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <thread>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>

#include "app/main_window_fixture.h"
#include "platform/egrid.h"
#include "sqlitedb/codepage.h"
#include "sqlitedb/sqlite_dataset.h"
#include "sqlitedb/text_table.h"

namespace tabulor::testing {
namespace {

using Kind = ScriptedPrompts::Kind;

class DatabaseFiles : public MainWindowTest {
 protected:
  QString backupPath(const QString& name) const {
    return QDir::toNativeSeparators(backupFolderPath() + QLatin1Char('/') + name);
  }
  QStringList backups() const {
    return QDir(backupFolderPath()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
  }
  void trigger(Command command) { window->action(command)->trigger(); }
  // The number of rows of t in a database file.
  static int rowsIn(const QString& file) {
    SqliteDB db;
    if (!db.open(toProgramText(file))) return -1;
    auto query = db.query("SELECT count(*) FROM t");
    query->requery();
    const TextTable table = query->fetchAllText(false);
    return table.isEmpty() ? -1 : std::stoi(table.cell(0, 0));
  }
};

TEST_F(DatabaseFiles, OpenBacksUpFirstThenOpensAndLogsBoth) {
  const QString db = makeDatabase("shop.db", "CREATE TABLE t(x); INSERT INTO t VALUES (1);");
  start();
  prompts.queueFile(db);
  trigger(Command::OpenDatabase);
  const auto dialog = prompts.records(Kind::OpenFile).at(0);
  EXPECT_EQ(dialog.title, QStringLiteral("打开数据库"));
  EXPECT_EQ(dialog.file.initialFolder, programFolder());
  EXPECT_EQ(dialog.file.filter, QStringLiteral("Sqlite数据库文件(*.db)|*.db|所有文件(*.*)|*.*"));
  EXPECT_EQ(dialog.file.defaultExtension, QStringLiteral("sdb"));
  const QString backup = backupPath(QStringLiteral("shop.db__2024年5月3日14时5分30秒"));
  EXPECT_EQ(logLines(), QStringList({QStringLiteral("已将数据库文件备份到：") + backup,
                                     QStringLiteral("打开数据库：") + db}));
  EXPECT_EQ(rowsIn(backup), 1);
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Tabulor - ") + db);
  EXPECT_FALSE(inNoDatabaseState());
  EXPECT_TRUE(prompts.records(Kind::Message).empty());
}

TEST_F(DatabaseFiles, ARelativePathIsHeldAsTheFullPath) {
  const QString db = makeDatabase("shop.db", "CREATE TABLE t(x)");
  start({QDir::current().relativeFilePath(db)});
  EXPECT_EQ(fromProgramText(state.dbPath), db);
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Tabulor - ") + db);
  EXPECT_EQ(logLines().last(), QStringLiteral("打开数据库：") + db);
}

TEST_F(DatabaseFiles, BackupsWithinOneSecondShareANameAndLaterOnesSitBeside) {
  const QString db = makeDatabase("a.db", "CREATE TABLE t(x);");
  start({db});
  start({db});
  EXPECT_EQ(backups(), QStringList({QStringLiteral("a.db__2024年5月3日14时5分30秒")}));
  environment.setLocalDateTime(QDateTime(QDate(2024, 5, 3), QTime(14, 6, 30)));
  start({db});
  EXPECT_EQ(backups().size(), 2);
}

TEST_F(DatabaseFiles, CancellingTheDialogChangesNothing) {
  const QString db = makeDatabase("a.db", "CREATE TABLE t(x);");
  start({db});
  trigger(Command::OpenDatabase);
  EXPECT_FALSE(inNoDatabaseState());
  EXPECT_EQ(state.dbPath, db.toStdString());
}

TEST_F(DatabaseFiles, NewCreatesAnEmptyDatabaseWithoutBackup) {
  start();
  prompts.queueFile(path("fresh"));
  trigger(Command::NewDatabase);
  const QString created = path("fresh.sdb");
  EXPECT_EQ(prompts.records(Kind::SaveFile).at(0).title, QStringLiteral("新建数据库"));
  EXPECT_TRUE(QFile::exists(created));
  EXPECT_EQ(logLines(), QStringList({QStringLiteral("新建数据库：") + created}));
  EXPECT_EQ(treeLines(), QStringList({QStringLiteral("表 (0)"), QStringLiteral("视图 (0)")}));
  EXPECT_TRUE(window->action(Command::DatabaseInfo)->isVisible());
}

TEST_F(DatabaseFiles, NewOverAnExistingFileReplacesItAndItsJournal) {
  const QString db = makeDatabase("old.db", "CREATE TABLE t(x);");
  QFile journal(db + QStringLiteral("-journal"));
  ASSERT_TRUE(journal.open(QIODevice::WriteOnly));
  journal.write("stale");
  journal.close();
  start();
  prompts.queueFile(db);
  trigger(Command::NewDatabase);
  EXPECT_FALSE(QFile::exists(db + QStringLiteral("-journal")));
  EXPECT_EQ(treeLines(), QStringList({QStringLiteral("表 (0)"), QStringLiteral("视图 (0)")}));
  EXPECT_TRUE(backups().isEmpty());
}

TEST_F(DatabaseFiles, NewOnTheOpenFileDeletesItBeforeClosing) {
  const QString db = makeDatabase("open.db", "CREATE TABLE t(x);");
  start({db});
  prompts.queueFile(db);
  trigger(Command::NewDatabase);
  EXPECT_EQ(state.dbPath, db.toStdString());
  EXPECT_EQ(treeLines(), QStringList({QStringLiteral("表 (0)"), QStringLiteral("视图 (0)")}));
}

TEST_F(DatabaseFiles, AFailedOpenLeavesTheNoDatabaseState) {
  const QString db = makeDatabase("a.db", "CREATE TABLE t(x);");
  start({db});
  prompts.queueFile(path("gone.db"));
  trigger(Command::OpenDatabase);
  EXPECT_TRUE(inNoDatabaseState());
  EXPECT_EQ(prompts.messages(), QStringList({QStringLiteral("不能打开数据库 [") + path("gone.db") +
                                             QStringLiteral("]！")}));
  EXPECT_EQ(logLines().last(),
            QStringLiteral("[×]打开数据库失败！[") + path("gone.db") + QStringLiteral("]"));
  EXPECT_EQ(state.dbPath, std::string());
}

// The file opens (the console can still reach it), but an empty tree is not passed off
// as the file's contents: the engine's reason is shown and logged.
TEST_F(DatabaseFiles, AnUnreadableCatalogueIsReportedNotShownAsAnEmptyDatabase) {
  QFile text(path("notes.txt"));
  ASSERT_TRUE(text.open(QIODevice::WriteOnly));
  text.write("these are not the pages of a database, just some words in a file\n");
  text.close();
  const QString damaged =
      makeDatabase("damaged.db",
                   "CREATE TABLE t (x); PRAGMA writable_schema=ON;"
                   "UPDATE sqlite_master SET sql = 'CREATE TABLE t (x' WHERE name = 't';"
                   "PRAGMA writable_schema=OFF;");
  // A damaged byte the engine quotes: not UTF-8, and marked rather than emptying the reason.
  const QString quotesBadBytes = makeDatabase(
      "bad-bytes.db",
      "CREATE TABLE t (x); PRAGMA writable_schema=ON;"
      "UPDATE sqlite_master SET sql = CAST(X'435245415445205441EF4C4520742028782920' AS TEXT)"
      " WHERE name = 't';"
      "PRAGMA writable_schema=OFF;");
  const std::pair<QString, QString> cases[] = {
      {path("notes.txt"), QStringLiteral("file is not a database")},
      {damaged, QStringLiteral("malformed database schema (t)")},
      {quotesBadBytes,
       QStringLiteral("malformed database schema (t) - near \"TA\\xEFLE\": syntax error")},
  };
  for (const auto& [file, reason] : cases) {
    SCOPED_TRACE(file.toStdString());
    window.reset();
    prompts.clear();
    start({file});
    EXPECT_FALSE(inNoDatabaseState());
    EXPECT_EQ(treeLines(), QStringList({QStringLiteral("表 (0)"), QStringLiteral("视图 (0)")}));
    const auto boxes = prompts.records(Kind::Message);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].text.startsWith(
        QStringLiteral("读取数据库结构失败！错误信息如下：\r\n\r\n") + reason))
        << boxes[0].text.toStdString();
    EXPECT_EQ(boxes[0].flags, MessageFlags::ErrorIcon);
    EXPECT_EQ(logLines().at(logLines().size() - 2), QStringLiteral("打开数据库：") + file);
    EXPECT_TRUE(logLines().last().startsWith(QStringLiteral("[×]读取数据库结构失败！") + reason))
        << logLines().last().toStdString();
  }
}

// A migrated web project's JSON field is guarded by a CHECK calling JSON_VALID.
TEST_F(DatabaseFiles, AFileWhoseSchemaUsesJsonFunctionsShowsItsTables) {
  const QString db =
      makeDatabase("web.db",
                   "CREATE TABLE \"app_item\" (\"id\" integer NOT NULL PRIMARY KEY AUTOINCREMENT, "
                   "\"meta\" text NULL CHECK ((JSON_VALID(\"meta\") OR \"meta\" IS NULL)));"
                   "CREATE VIEW app_names AS SELECT meta ->> '$.name' AS name FROM app_item;");
  start({db});
  EXPECT_EQ(treeLines(), QStringList({QStringLiteral("表 (2)"), QStringLiteral("  app_item"),
                                      QStringLiteral("    id"), QStringLiteral("    meta"),
                                      QStringLiteral("  sqlite_sequence"),
                                      QStringLiteral("    name"), QStringLiteral("    seq"),
                                      QStringLiteral("视图 (1)"), QStringLiteral("  app_names")}));
  EXPECT_TRUE(prompts.records(Kind::Message).empty());
}

TEST_F(DatabaseFiles, CloseCommandClearsTheSelectionThenCloses) {
  const QString db = makeDatabase("a.db", "CREATE TABLE t(x); INSERT INTO t VALUES (5);");
  start({db});
  window->setTreeSelection(1);
  ASSERT_EQ(ui().高级表格1->cellText(1, 1), QStringLiteral("5"));
  trigger(Command::CloseDatabase);
  EXPECT_TRUE(inNoDatabaseState());
  EXPECT_FALSE(state.db.isOpen());
  EXPECT_FALSE(state.table.isOpen());
  EXPECT_TRUE(treeLines().isEmpty());
  EXPECT_EQ(window->treeSelection(), -1);
  EXPECT_EQ(ui().高级表格1->cellText(0, 0), QStringLiteral("无数据"));
  EXPECT_EQ(state.tableNames, std::vector<std::string>({"t"}));  // the lists outlive the close
}

TEST_F(DatabaseFiles, BackupCommandCopiesTheOpenDatabaseThroughTheEngine) {
  const QString db = makeDatabase("live.db", "CREATE TABLE t(x); INSERT INTO t VALUES (1);");
  start({db});
  environment.setLocalDateTime(QDateTime(QDate(2024, 5, 3), QTime(15, 0, 0)));
  // An open transaction of the user: the copy holds the committed rows only, and the
  // transaction carries on afterwards.
  ASSERT_TRUE(state.db.beginTransaction());
  ASSERT_TRUE(state.db.execute("INSERT INTO t VALUES (2)"));
  trigger(Command::BackupDatabase);
  const QString backup = backupPath(QStringLiteral("live.db__2024年5月3日15时"));
  EXPECT_EQ(logLines().last(), QStringLiteral("已将数据库文件备份到：") + backup);
  EXPECT_EQ(rowsIn(backup), 1);
  EXPECT_TRUE(state.db.execute("INSERT INTO t VALUES (3)"));
  EXPECT_TRUE(state.db.commitTransaction());
  EXPECT_EQ(rowsIn(db), 3);
  EXPECT_TRUE(prompts.records(Kind::Message).empty());
  for (const QString& name : backups())
    EXPECT_FALSE(name.startsWith(QLatin1Char('.'))) << name.toStdString();
}

TEST_F(DatabaseFiles, BackupIsDisabledWithoutADatabase) {
  start();
  EXPECT_FALSE(window->action(Command::BackupDatabase)->isEnabled());
}

TEST_F(DatabaseFiles, AFailingBackupIsSilentAndTheOpenGoesOn) {
  const QString db = makeDatabase("a.db", "CREATE TABLE t(x);");
  QFile blocker(backupFolderPath());  // a file where the folder should be
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  start({db});
  EXPECT_EQ(logLines(), QStringList({QStringLiteral("打开数据库：") + db}));
  EXPECT_TRUE(prompts.records(Kind::Message).empty());
}

// A backup copy that lasts: it writes the first half, then waits, the window's clock
// moving on, until the test lets it finish or the user cancels. Like a real copy it
// leaves what it wrote for the caller to clear up.
class LastingCopy {
 public:
  explicit LastingCopy(TestEnvironment& environment) : environment_(environment) {}
  void finish() { finish_ = true; }
  CopyOutcome operator()(const std::filesystem::path& from, const std::filesystem::path& to,
                         const CopiedBytes& copied, const std::atomic<bool>& cancelled) {
    std::ifstream in(from, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::ofstream out(to, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size() / 2));
    out.flush();
    copied(bytes.size() / 2);
    // Gives up waiting after some seconds, so a 取消 that never arrives fails the test
    // instead of hanging it.
    for (int wait = 0; !finish_ && wait < 2000; ++wait) {
      if (cancelled) return CopyOutcome::Cancelled;
      environment_.setTickCount(environment_.tickCount() + 100);
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    out.write(bytes.data() + bytes.size() / 2,
              static_cast<std::streamsize>(bytes.size() - bytes.size() / 2));
    copied(bytes.size() - bytes.size() / 2);
    return CopyOutcome::Copied;
  }

 private:
  TestEnvironment& environment_;
  std::atomic<bool> finish_ = false;
};

// Past half a second the open shows a bar of the bytes copied while the window goes on
// answering. Left to finish, the open logs and opens as always; 取消 opens nothing, leaves
// no partial backup (not even under its temporary name) and logs only the cancel.
TEST_F(DatabaseFiles, ALongBackupShowsItsProgressAndItsCancelStopsTheOpen) {
  const QString db = makeDatabase("big.db", "CREATE TABLE t(x); INSERT INTO t VALUES (1);");
  const QString backup = backupPath(QStringLiteral("big.db__2024年5月3日14时5分30秒"));
  struct Case {
    bool cancel;
    QStringList log;
    QStringList backups;
  };
  const std::vector<Case> cases = {
      {false,
       {QStringLiteral("已将数据库文件备份到：") + backup, QStringLiteral("打开数据库：") + db},
       {QStringLiteral("big.db__2024年5月3日14时5分30秒")}},
      {true,
       {QStringLiteral("已取消：备份数据库文件，未打开数据库 [") + db + QStringLiteral("]")},
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.cancel);
    QDir(backupFolderPath()).removeRecursively();
    start();
    auto copy = std::make_shared<LastingCopy>(environment);
    environment.setFileCopy(
        [copy](const auto& from, const auto& to, const auto& copied, const auto& cancelled) {
          return (*copy)(from, to, copied, cancelled);
        });
    QString shownProgress;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
      auto* dialog = window->findChild<QProgressDialog*>();
      auto* bar = dialog ? dialog->findChild<QProgressBar*>() : nullptr;
      if (!bar || bar->maximum() == 0 || !shownProgress.isEmpty()) return;
      shownProgress = bar->text();
      if (c.cancel)
        dialog->findChild<QPushButton*>()->click();
      else
        copy->finish();
    });
    user.start(0);
    prompts.queueFile(db);
    trigger(Command::OpenDatabase);
    environment.setFileCopy({});
    EXPECT_EQ(shownProgress, QStringLiteral("50%"));
    EXPECT_EQ(logLines(), c.log);
    EXPECT_EQ(backups(), c.backups);
    EXPECT_EQ(inNoDatabaseState(), c.cancel);
    if (!c.cancel) {
      EXPECT_EQ(rowsIn(backup), 1);
    }
    EXPECT_TRUE(prompts.records(Kind::Message).empty());
    EXPECT_EQ(window->findChild<QProgressDialog*>(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  }
}

TEST_F(DatabaseFiles, DeleteAsksThenClosesAndDeletesTheFileWithItsCompanions) {
  const QString open = makeDatabase("open.db", "CREATE TABLE t(x);");
  const QString victim = makeDatabase("victim.db", "CREATE TABLE t(x);");
  QFile wal(victim + QStringLiteral("-wal"));
  ASSERT_TRUE(wal.open(QIODevice::WriteOnly));
  wal.close();
  start({open});
  prompts.queueFile(victim);
  prompts.queueAnswer(Answer::Yes);
  trigger(Command::DeleteDatabase);
  EXPECT_EQ(prompts.records(Kind::OpenFile).at(0).title, QStringLiteral("请选择要删除的数据库"));
  const auto question = prompts.records(Kind::Message).at(0);
  EXPECT_EQ(question.text, QStringLiteral("删除后不能恢复，请确认是否继续？"));
  EXPECT_EQ(question.flags, 0x14);
  EXPECT_FALSE(QFile::exists(victim));
  EXPECT_FALSE(QFile::exists(victim + QStringLiteral("-wal")));
  EXPECT_TRUE(QFile::exists(open));
  EXPECT_TRUE(inNoDatabaseState());
  EXPECT_FALSE(window->action(Command::DatabaseInfo)->isVisible());
}

TEST_F(DatabaseFiles, DeleteAnsweredNoKeepsEverything) {
  const QString open = makeDatabase("open.db", "CREATE TABLE t(x);");
  start({open});
  prompts.queueFile(open);
  prompts.queueAnswer(Answer::No);
  trigger(Command::DeleteDatabase);
  EXPECT_TRUE(QFile::exists(open));
  EXPECT_FALSE(inNoDatabaseState());
}

TEST_F(DatabaseFiles, ARefusedCloseKeepsTheDatabaseOpen) {
  const QString db = makeDatabase("a.db", "CREATE TABLE t(x); INSERT INTO t VALUES (1);");
  start({db});
  // A statement of another owner keeps the engine from closing.
  auto pending = state.db.query("SELECT * FROM t");
  pending->requery();
  EXPECT_FALSE(closeDatabase(*window));
  const auto box = prompts.records(Kind::Message).at(0);
  EXPECT_TRUE(box.text.startsWith(QStringLiteral("暂时无法关闭数据库！错误信息如下：\r\n\r\n")));
  EXPECT_EQ(box.title, QStringLiteral("错误："));
  EXPECT_FALSE(inNoDatabaseState());
  pending->close();
  EXPECT_TRUE(closeDatabase(*window));
}

}  // namespace
}  // namespace tabulor::testing

namespace tabulor::testing {
namespace {

// Runs the test body with code page 936 as the program code page.
class DatabaseFilesGbk : public MainWindowTest {
 protected:
  DatabaseFilesGbk() : saved_(programCodePage()) { setProgramCodePage("GBK"); }
  ~DatabaseFilesGbk() override { setProgramCodePage(saved_); }

 private:
  std::string saved_;
};

TEST_F(DatabaseFilesGbk, ChineseNamesPassThroughTheCodePage) {
  const QString db = path("数据.db");
  {
    SqliteDB create;
    ASSERT_TRUE(create.open(toProgramText(db), true));
    ASSERT_TRUE(create.execute(toProgramText(
        QStringLiteral("CREATE TABLE 商品(名称); INSERT INTO 商品 VALUES ('铅笔');"))));
  }
  start({db});
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Tabulor - ") + db);
  EXPECT_EQ(logLines().last(), QStringLiteral("打开数据库：") + db);
  EXPECT_EQ(treeLines().mid(0, 3), QStringList({QStringLiteral("表 (1)"), QStringLiteral("  商品"),
                                                QStringLiteral("    名称")}));
  window->setTreeSelection(1);
  EXPECT_EQ(logLines().last(), QStringLiteral("打开表：商品"));
  EXPECT_EQ(ui().高级表格1->cellText(0, 1), QStringLiteral("名称"));
  EXPECT_EQ(ui().高级表格1->cellText(1, 1), QStringLiteral("铅笔"));
}

TEST_F(DatabaseFilesGbk, APathTheCodePageCannotHoldCannotBeOpened) {
  const QString db = path("emoji😀.db");
  QFile file(db);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.close();
  start({db});
  EXPECT_TRUE(inNoDatabaseState());
  EXPECT_EQ(prompts.messages(),
            QStringList({QStringLiteral("不能打开数据库 [") + db + QStringLiteral("]！")}));
}

}  // namespace
}  // namespace tabulor::testing
