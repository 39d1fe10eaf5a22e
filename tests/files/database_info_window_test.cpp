#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/main_window_fixture.h"
#include "files/database_files.h"
#include "files/database_info_window.h"
#include "files/info_text.h"

namespace tabulor::testing {
namespace {

class DatabaseInfo : public MainWindowTest {
 protected:
  DatabaseInfoWindow& openInfo() {
    window->action(Command::DatabaseInfo)->trigger();
    info = window->findChild<DatabaseInfoWindow*>();
    EXPECT_NE(info, nullptr);
    return *info;
  }
  void closeInfo() {
    info->按钮1->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    info = nullptr;
  }

  DatabaseInfoWindow* info = nullptr;
};

TEST_F(DatabaseInfo, ShowsThePathAndTheCheatSheetExactly) {
  const QString path = makeDatabase("第一.db", "create table t (a)");
  start({path});
  openInfo();
  EXPECT_EQ(info->windowTitle(), QStringLiteral("（此窗口查看数据库的完整信息）"));
  EXPECT_TRUE(info->isModal());
  EXPECT_EQ(info->标签1->text(), QStringLiteral("数据库路径及名称："));
  EXPECT_EQ(info->标签2->text(), QStringLiteral("常用数据库操作："));
  EXPECT_EQ(DatabaseInfoWindow::boxText(*info->编辑框1), path);
  EXPECT_EQ(DatabaseInfoWindow::boxText(*info->编辑框2),
            QString::fromUtf8(kDatabaseCheatSheet.data(),
                              static_cast<qsizetype>(kDatabaseCheatSheet.size())));
  EXPECT_TRUE(info->编辑框1->isReadOnly());
  EXPECT_TRUE(info->编辑框2->isReadOnly());
}

TEST_F(DatabaseInfo, CopyPutsThePathOnTheClipboardAndConfirms) {
  const QString path = makeDatabase("copy.db", "");
  start({path});
  environment.setClipboardText(QStringLiteral("earlier"));
  prompts.clear();
  openInfo();
  info->按钮2->click();
  EXPECT_EQ(environment.clipboardText(), path);
  const auto boxes = prompts.records(ScriptedPrompts::Kind::Message);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, QStringLiteral("[数据库名称] 已经复制到 [剪切版]"));
  EXPECT_EQ(boxes[0].flags, 0x40);
  EXPECT_TRUE(boxes[0].title.isEmpty());  // the default title
  EXPECT_EQ(info->按钮2->text(), QStringLiteral("复制【数据库名称】"));
}

TEST_F(DatabaseInfo, EachOpeningShowsTheCurrentPath) {
  start({makeDatabase("one.db", "")});
  openInfo();
  closeInfo();
  EXPECT_EQ(window->findChild<DatabaseInfoWindow*>(), nullptr);
  const QString second = makeDatabase("two.db", "");
  ASSERT_TRUE(openDatabaseFile(*window, second, false));
  openInfo();
  EXPECT_EQ(DatabaseInfoWindow::boxText(*info->编辑框1), second);
}

TEST_F(DatabaseInfo, ResizingLeavesTheControlsWhereTheyAre) {
  start({makeDatabase("size.db", "")});
  openInfo();
  info->resize(500, 300);
  EXPECT_EQ(info->编辑框2->geometry(), QRect(8, 128, 912, 312));
  EXPECT_EQ(info->按钮1->geometry(), QRect(840, 444, 80, 32));
  EXPECT_EQ(info->按钮2->geometry(), QRect(616, 444, 120, 32));
}

}  // namespace
}  // namespace tabulor::testing
