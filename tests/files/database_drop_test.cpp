#include "files/database_drop.h"

#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QToolBar>
#include <QUrl>

#include "app/main_window_fixture.h"
#include "platform/egrid.h"

namespace tabulor::testing {
namespace {

using Kind = ScriptedPrompts::Kind;

class DatabaseDrop : public MainWindowTest {
 protected:
  static std::unique_ptr<QMimeData> files(const QStringList& paths) {
    auto data = std::make_unique<QMimeData>();
    QList<QUrl> urls;
    for (const QString& path : paths) urls << QUrl::fromLocalFile(path);
    data->setUrls(urls);
    return data;
  }

  // Drags the data over a control of the main window (the window itself by default);
  // true when the window or the control takes it.
  bool dragEnter(const QMimeData& data, QWidget* over = nullptr) {
    QDragEnterEvent event(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    event.ignore();
    QCoreApplication::sendEvent(over ? over : window.get(), &event);
    return event.isAccepted();
  }

  // Drags the data over the main window and drops it there, as a desktop does (a drop
  // follows only a drag the window took), then lets the window act on it; true when the
  // window took the drop.
  bool drop(const QMimeData& data) {
    if (!dragEnter(data)) return false;
    QDropEvent event(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    event.ignore();
    QCoreApplication::sendEvent(window.get(), &event);
    QCoreApplication::sendPostedEvents();
    return event.isAccepted();
  }

  void writeFile(const std::string& name, const QByteArray& bytes) {
    QFile file(path(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  }

  // What the user sees of the outcome of an open.
  QStringList outcome() const {
    return QStringList{window->windowTitle()} + logLines() + treeLines() +
           QStringList{inNoDatabaseState() ? QStringLiteral("no database")
                                           : QStringLiteral("database open")} +
           QStringList{window->action(Command::DatabaseInfo)->isVisible()
                           ? QStringLiteral("information shown")
                           : QStringLiteral("information hidden")} +
           prompts.messages();
  }
};

TEST_F(DatabaseDrop, OnlyASingleDatabaseFileIsTaken) {
  const QString db = makeDatabase("a.db", "CREATE TABLE t(x)");
  const QString other = makeDatabase("b.db", "CREATE TABLE u(y)");
  writeFile("empty.db", {});
  writeFile("notes.txt", "SQLite is a database\n");
  writeFile("short.db", "SQLite");
  QDir().mkpath(path("folder.db"));
  auto web = std::make_unique<QMimeData>();
  web->setUrls({QUrl(QStringLiteral("https://example.org/a.db"))});
  auto text = std::make_unique<QMimeData>();
  text->setText(db);
  struct Case {
    const char* what;
    std::unique_ptr<QMimeData> data;
    bool taken;
  };
  Case cases[] = {
      {"a database file", files({db}), true},
      {"an empty file, which the engine takes as an empty database", files({path("empty.db")}),
       true},
      {"two database files", files({db, other}), false},
      {"a text file", files({path("notes.txt")}), false},
      {"a file shorter than the header", files({path("short.db")}), false},
      {"a folder", files({path("folder.db")}), false},
      {"a file that is not there", files({path("gone.db")}), false},
      {"a web address", std::move(web), false},
      {"a path as text", std::move(text), false},
  };
  start();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(dragEnter(*c.data), c.taken);
    EXPECT_EQ(droppedDatabaseFile(*c.data).has_value(), c.taken);
  }
}

TEST_F(DatabaseDrop, ADragOverTheControlsWithoutADropOfTheirOwnReachesTheWindow) {
  const auto data = files({makeDatabase("a.db", "CREATE TABLE t(x)")});
  start({path("a.db")});
  QWidget* controls[] = {ui().树型框1->viewport(), ui().高级表格1->viewport(),
                         ui().编辑框_操作日志->viewport(), ui().编辑框_表或视图定义->viewport(),
                         ui().工具条1};
  for (QWidget* control : controls) {
    SCOPED_TRACE(control->parentWidget()->objectName().toStdString());
    EXPECT_TRUE(dragEnter(*data, control));
  }
}

TEST_F(DatabaseDrop, ADroppedDatabaseOpensAsTheOpenCommandOpensTheChosenFile) {
  const QString first = makeDatabase("first.db", "CREATE TABLE t(x)");
  const QString second = makeDatabase("second.db", "CREATE TABLE u(y); CREATE VIEW v AS SELECT 1");
  start();
  prompts.queueFile(first);
  window->action(Command::OpenDatabase)->trigger();
  prompts.queueFile(second);
  window->action(Command::OpenDatabase)->trigger();
  const QStringList byCommand = outcome();

  prompts.clear();
  start();
  prompts.queueFile(first);
  window->action(Command::OpenDatabase)->trigger();
  EXPECT_TRUE(drop(*files({second})));
  EXPECT_EQ(outcome(), byCommand);
  EXPECT_EQ(fromProgramText(state.dbPath), second);
  EXPECT_EQ(logLines().mid(2),
            QStringList({QStringLiteral("已将数据库文件备份到：") +
                             QDir::toNativeSeparators(
                                 backupFolderPath() +
                                 QStringLiteral("/second.db__2024年5月3日14时5分30秒")),
                         QStringLiteral("打开数据库：") + second}));
}

TEST_F(DatabaseDrop, APathWithBlanksAndChineseArrivesWhole) {
  QDir().mkpath(path("我的 数据"));
  const QString db = makeDatabase("我的 数据/商店 2024.db", "CREATE TABLE 货物(名称)");
  start();
  EXPECT_TRUE(drop(*files({db})));
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Tabulor - ") + db);
  EXPECT_EQ(logLines().last(), QStringLiteral("打开数据库：") + db);
}

TEST_F(DatabaseDrop, ARefusedDropLeavesTheOpenDatabaseAlone) {
  const QString db = makeDatabase("a.db", "CREATE TABLE t(x)");
  writeFile("notes.txt", "select 1");
  start({db});
  const QStringList before = outcome();
  EXPECT_FALSE(drop(*files({path("notes.txt")})));
  EXPECT_EQ(outcome(), before);
  EXPECT_TRUE(prompts.records().empty());
}

}  // namespace
}  // namespace tabulor::testing
