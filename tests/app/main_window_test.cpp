#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolBar>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/main_window_fixture.h"
#include "platform/egrid.h"

namespace tabulor::testing {
namespace {

using Kind = ScriptedPrompts::Kind;

class StartUp : public MainWindowTest {};

TEST_F(StartUp, WithoutAPathShowsTheNoDatabaseState) {
  start();
  EXPECT_TRUE(inNoDatabaseState());
  EXPECT_EQ(state.appTitle, "Tabulor");
  EXPECT_EQ(state.displayLimit, 1000);
  EXPECT_TRUE(window->windowState() & Qt::WindowMaximized);
  EXPECT_FALSE(window->action(Command::DatabaseInfo)->isVisible());
  EXPECT_EQ(window->treeSelection(), -1);
  EXPECT_EQ(ui().高级表格1->cellText(0, 0), QStringLiteral("无数据"));
  EXPECT_EQ(window->logText(), QString());
  EXPECT_TRUE(prompts.records().empty());
  // Never disabled: the database commands that need no database, and the console.
  using enum Command;
  for (Command command : {NewDatabase, OpenDatabase, DeleteDatabase, Exit, RunSql})
    EXPECT_TRUE(window->action(command)->isEnabled()) << static_cast<int>(command);
}

TEST_F(StartUp, WithAPathOpensThatDatabase) {
  const QString db = makeDatabase("shop.db", "CREATE TABLE goods(name TEXT)");
  start({db, path("other.db")});
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Tabulor - ") + db);
  EXPECT_EQ(state.dbPath, db.toStdString());
  EXPECT_FALSE(inNoDatabaseState());
  EXPECT_EQ(logLines(), QStringList({QStringLiteral("已将数据库文件备份到：") +
                                         QDir::toNativeSeparators(
                                             backupFolderPath() +
                                             QStringLiteral("/shop.db__2024年5月3日14时5分30秒")),
                                     QStringLiteral("打开数据库：") + db}));
  EXPECT_EQ(window->logText().left(2), QStringLiteral("\r\n"));
  EXPECT_TRUE(window->action(Command::DatabaseInfo)->isVisible());
  EXPECT_EQ(treeLines(), QStringList({QStringLiteral("表 (1)"), QStringLiteral("  goods"),
                                      QStringLiteral("    name"), QStringLiteral("视图 (0)")}));
}

TEST_F(StartUp, WithAMissingPathReportsTheFailureAndStaysClosed) {
  const QString missing = path("missing.db");
  start({missing});
  EXPECT_TRUE(inNoDatabaseState());
  ASSERT_EQ(prompts.records().size(), 1u);
  EXPECT_EQ(prompts.records()[0].text,
            QStringLiteral("不能打开数据库 [") + missing + QStringLiteral("]！"));
  EXPECT_EQ(prompts.records()[0].flags, 0x10);
  EXPECT_EQ(logLines(),
            QStringList({QStringLiteral("[×]打开数据库失败！[") + missing + QStringLiteral("]")}));
  EXPECT_FALSE(window->action(Command::DatabaseInfo)->isVisible());
  EXPECT_FALSE(QFile::exists(missing));
}

class MainWindowControls : public MainWindowTest {};

TEST_F(MainWindowControls, CarryTheirDesignedNamesAndAccessibleNames) {
  start();
  const std::vector<std::pair<const char*, const char*>> named = {
      {"编辑框_操作日志", "操作日志"},
      {"组合框_显示内容", "显示内容"},
      {"树型框1", "数据库结构"},
      {"高级表格1", "数据表格"},
      {"编辑框_表或视图定义", "表或视图定义"},
      {"编辑框_表基本信息", "表基本信息"},
      {"编辑框_表名称", "表名称"},
      {"组合框_记录序号", "记录序号"},
      {"组合框_字段名称", "字段名称"}};
  for (const auto& [name, accessible] : named) {
    auto* widget = window->findChild<QWidget*>(QString::fromUtf8(name));
    ASSERT_NE(widget, nullptr) << name;
    EXPECT_EQ(widget->accessibleName(), QString::fromUtf8(accessible)) << name;
  }
  EXPECT_NE(window->findChild<QToolBar*>(QStringLiteral("工具条1")), nullptr);
  EXPECT_NE(window->findChild<QGroupBox*>(QStringLiteral("分组框_字段读写")), nullptr);
  EXPECT_NE(window->findChild<QAction*>(QStringLiteral("菜单_新建数据库")), nullptr);
  EXPECT_NE(window->findChild<QAction*>(QStringLiteral("菜单_取最新插入ID")), nullptr);
}

class Toolbar : public MainWindowTest {
 protected:
  struct DesignedButton {
    std::optional<Command> command;  // none: a separator
    const char* caption;
    bool picture;
    bool needsOpenDatabase;
  };
  // Button by button, numbered as their object names are, separators counted.
  static std::vector<DesignedButton> designedButtons() {
    using enum Command;
    return {{NewDatabase, "新建数据库", true, false},
            {OpenDatabase, "打开数据库", true, false},
            {CloseDatabaseButton, "关闭数据库", false, true},
            {std::nullopt, "", false, false},
            {NewTable, "新建表", false, true},
            {ModifyTable, "修改表", false, true},
            {ClearTable, "清空表", false, true},
            {DropTable, "删除表", true, true},
            {std::nullopt, "", false, false},
            {NewView, "新建视图", false, true},
            {ModifyView, "修改视图", false, true},
            {RenameView, "修改视图名称", false, true},
            {DropView, "删除视图", false, true},
            {std::nullopt, "", false, false},
            {RunSql, "执行SQL语句", false, false}};
  }
  QAction* button(std::size_t number) const {
    return window->findChild<QAction*>(QStringLiteral("工具条1_按钮%1").arg(number));
  }
};

TEST_F(Toolbar, EveryButtonIsDesignedAndStandsForItsCommand) {
  start();
  const auto designed = designedButtons();
  for (std::size_t n = 0; n < designed.size(); ++n) {
    QAction* action = button(n);
    ASSERT_NE(action, nullptr) << n;
    EXPECT_EQ(action->isSeparator(), !designed[n].command) << n;
    if (!designed[n].command) continue;
    EXPECT_EQ(window->toolbarButton(*designed[n].command), action) << n;
    EXPECT_EQ(action->text(), QString::fromUtf8(designed[n].caption)) << n;
    EXPECT_EQ(!action->icon().isNull(), designed[n].picture) << n;
  }
  EXPECT_EQ(button(designed.size()), nullptr);
  EXPECT_EQ(window->toolbarButton(Command::RenameTable), nullptr);
}

TEST_F(Toolbar, ButtonsFollowTheStateOfTheirCommands) {
  start({makeDatabase("shop.db", "CREATE TABLE goods(name TEXT)")});
  const auto designed = designedButtons();
  for (std::size_t n = 0; n < designed.size(); ++n) {
    if (!designed[n].command) continue;
    EXPECT_TRUE(button(n)->isEnabled()) << n;
  }
  window->action(Command::CloseDatabase)->trigger();
  for (std::size_t n = 0; n < designed.size(); ++n) {
    if (!designed[n].command) continue;
    EXPECT_EQ(button(n)->isEnabled(), !designed[n].needsOpenDatabase) << n;
    EXPECT_EQ(window->action(*designed[n].command)->isEnabled(), button(n)->isEnabled()) << n;
  }
}

// How many connections an action's triggered() has (QObject keeps the count protected).
int triggeredReceivers(const QAction& action) {
  struct Counter : QAction {
    static int of(const QAction& action) {
      return (action.*&Counter::receivers)(SIGNAL(triggered(bool)));
    }
  };
  return Counter::of(action);
}

// The connections a menu makes to every item it holds: more than these run something.
int menuOwnReceivers() {
  QMenu menu;
  return triggeredReceivers(*menu.addAction(QStringLiteral("x")));
}

class Menus : public MainWindowTest {};

// Every menu item as designed, in order ("" a separator), without pictures.
TEST_F(Menus, EveryItemIsDesignedAndHasAReceiver) {
  start();
  const std::vector<std::pair<const char*, std::vector<const char*>>> menus = {
      {"数据库",
       {"新建数据库...", "打开数据库...", "关闭数据库", "", "备份数据库", "删除数据库", "",
        "退出"}},
      {"表",
       {"新建表...", "修改表...", "修改表名称", "删除表", "清空表", "", "插入空记录", "插入记录...",
        "删除当前记录", "导出表格",
        // The additions come after the designed items, behind a separator.
        "", "导入CSV文件...", "导出为CSV文件..."}},
      {"视图", {"新建视图", "修改视图", "修改视图名称", "删除视图"}},
      {"其它操作",
       {"执行SQL语句", "", "开始事务", "提交事务", "回滚事务", "", "取错误文本", "取错误码",
        "取最新插入ID"}},
      {"帮助", {"数据库信息", "刷新", "关于"}},
  };
  for (const auto& [title, items] : menus) {
    QMenu* menu = window->menu(QString::fromUtf8(title));
    ASSERT_NE(menu, nullptr) << title;
    const QList<QAction*> actions = menu->actions();
    ASSERT_EQ(actions.size(), static_cast<qsizetype>(items.size())) << title;
    for (std::size_t i = 0; i < items.size(); ++i) {
      const QAction& action = *actions[static_cast<qsizetype>(i)];
      const QString caption = QString::fromUtf8(items[i]);
      EXPECT_EQ(action.isSeparator(), caption.isEmpty()) << title << " " << i;
      if (caption.isEmpty()) continue;
      EXPECT_EQ(action.text(), caption);
      EXPECT_EQ(action.objectName(),
                QStringLiteral("菜单_") + QString(caption).remove(QStringLiteral("...")));
      EXPECT_TRUE(action.icon().isNull() || !action.isIconVisibleInMenu()) << items[i];
    }
  }
}

class Commands : public MainWindowTest {};

// A command nobody binds, or that neither a menu nor the toolbar shows, cannot be given.
TEST_F(Commands, EachIsShownAndRunsSomething) {
  start();
  for (int i = 0; i < kCommandCount; ++i) {
    QAction& action = *window->action(static_cast<Command>(i));
    const bool inMenu = !action.associatedObjects().isEmpty();
    EXPECT_TRUE(inMenu || window->toolbarButton(static_cast<Command>(i))) << i << " is not shown";
    EXPECT_GT(triggeredReceivers(action), inMenu ? menuOwnReceivers() : 0) << i << " runs nothing";
  }
}

class OperationLog : public MainWindowTest {};

TEST_F(OperationLog, EachLineIsPrecededByALineBreak) {
  start();
  window->appendLog(QStringLiteral("a"));
  window->appendLog(QString());
  window->appendLog(QStringLiteral("打开表：goods"));
  EXPECT_EQ(window->logText(), QStringLiteral("\r\na\r\n\r\n打开表：goods"));
  window->clearLog();
  EXPECT_EQ(window->logText(), QString());
}

TEST_F(OperationLog, SavesItsBytesAndOpensTheFileWithTheEditor) {
  start();
  window->appendLog(QStringLiteral("打开表：goods"));
  prompts.queueFile(path("log"));
  window->saveLogToFile();
  const auto dialog = prompts.records(Kind::SaveFile).at(0);
  EXPECT_EQ(dialog.file.filter, QStringLiteral("文本文件(*.txt)|*.txt|所有文件(*.*)|*.*"));
  EXPECT_EQ(dialog.file.title, QString());
  QFile saved(path("log.txt"));
  ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
  EXPECT_EQ(saved.readAll(), QStringLiteral("\r\n打开表：goods").toUtf8());
  EXPECT_EQ(prompts.messages(), QStringList({QStringLiteral("已成功写入文件 ") + path("log.txt")}));
  EXPECT_EQ(prompts.records(Kind::Message).at(0).flags, 0x40);
  EXPECT_EQ(environment.editedFiles(), QStringList({path("log.txt")}));
}

// The box shows a lone CR or LF as a line break and a no-break space as a blank; the
// saved file keeps the text as it was logged.
TEST_F(OperationLog, SavesTheLoggedTextUnchanged) {
  start();
  window->appendLog(QStringLiteral("a\rb"));
  window->appendLog(QStringLiteral("c\nd"));
  window->appendLog(QStringLiteral("x\u00A0y\r\n"));
  prompts.queueFile(path("log.txt"));
  window->saveLogToFile();
  QFile saved(path("log.txt"));
  ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
  EXPECT_EQ(saved.readAll(), QByteArray("\r\na\rb\r\nc\nd\r\nx\xC2\xA0y\r\n"));
}

TEST_F(OperationLog, AnEmptyLogSavesAnEmptyFile) {
  start();
  prompts.queueFile(path("empty.txt"));
  window->saveLogToFile();
  EXPECT_EQ(QFile(path("empty.txt")).size(), 0);
  EXPECT_EQ(prompts.messages().size(), 1);
}

TEST_F(OperationLog, AFailedSaveSaysSoAndKeepsTheLog) {
  start();
  window->appendLog(QStringLiteral("x"));
  prompts.queueFile(path("no/such/folder/log.txt"));
  window->saveLogToFile();
  EXPECT_EQ(prompts.messages(), QStringList({QStringLiteral("写文件失败！")}));
  EXPECT_EQ(prompts.records(Kind::Message).at(0).flags, 0x10);
  EXPECT_EQ(window->logText(), QStringLiteral("\r\nx"));
}

TEST_F(OperationLog, CancellingTheDialogDoesNothing) {
  start();
  window->saveLogToFile();
  EXPECT_TRUE(prompts.records(Kind::Message).empty());
}

class Messages : public MainWindowTest {};

TEST_F(Messages, DatabaseErrorBoxAddsTheEngineText) {
  makeDatabase("a.db", "");
  start({path("a.db")});
  EXPECT_FALSE(state.db.execute("SELECT * FROM nothing_here"));
  window->showDbError(QStringLiteral("执行失败！"));
  const auto box = prompts.records(Kind::Message).at(0);
  EXPECT_EQ(box.text,
            QStringLiteral("执行失败！错误信息如下：\r\n\r\nno such table: nothing_here"));
  EXPECT_EQ(box.title, QStringLiteral("错误："));
  EXPECT_EQ(box.flags, 0x10);
}

TEST_F(Messages, AboutShowsTheTitleAndTheNote) {
  start();
  window->showAbout();
  const auto box = prompts.records(Kind::Message).at(0);
  EXPECT_EQ(box.text, QStringLiteral("Tabulor特别说明：此管理器能很好地执行SQL语句，\r\n\r\n"
                                     "但不能创建视图（要查询数据可以用：执行SQL）"));
  EXPECT_EQ(box.title, QString());
  EXPECT_EQ(box.flags, 0);
}

}  // namespace
}  // namespace tabulor::testing
