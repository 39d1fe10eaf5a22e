#include "platform/prompts.h"

#include <gtest/gtest.h>
#include <QMenu>

namespace tabulor {
namespace {

TEST(ScriptedPrompts, RecordsEveryBoxWithTextTitleAndFlags) {
  ScopedScriptedPrompts scripted;
  prompts().messageBox(QStringLiteral("写文件失败！"), MessageFlags::ErrorIcon);
  prompts().messageBox(QStringLiteral("a"), QStringLiteral("错误："), 0x14);
  ASSERT_EQ(scripted.records().size(), 2u);
  EXPECT_EQ(scripted.records()[0].text, QStringLiteral("写文件失败！"));
  EXPECT_EQ(scripted.records()[0].title, QString());
  EXPECT_EQ(scripted.records()[0].flags, 0x10);
  EXPECT_EQ(scripted.records()[1].title, QStringLiteral("错误："));
  EXPECT_EQ(scripted.records()[1].flags, 0x14);
}

TEST(ScriptedPrompts, AnswersFromTheQueueThenWithTheFirstButton) {
  ScopedScriptedPrompts scripted;
  scripted.queueAnswer(Answer::No);
  EXPECT_EQ(prompts().messageBox(QStringLiteral("?"), MessageFlags::YesNo), Answer::No);
  EXPECT_EQ(prompts().messageBox(QStringLiteral("?"), MessageFlags::YesNo), Answer::Yes);
  EXPECT_EQ(prompts().messageBox(QStringLiteral("!"), 0), Answer::Ok);
}

TEST(ScriptedPrompts, InputAndFileDialogsAnswerFromQueuesAndCancelWhenEmpty) {
  ScopedScriptedPrompts scripted;
  scripted.queueInput(QStringLiteral("t1"));
  scripted.queueInput(std::nullopt);
  EXPECT_EQ(prompts().inputBox(QStringLiteral("名称："), {}, QStringLiteral("x")),
            std::optional<QString>(QStringLiteral("t1")));
  EXPECT_EQ(prompts().inputBox(QStringLiteral("名称："), {}, {}), std::nullopt);
  EXPECT_EQ(prompts().inputBox(QStringLiteral("名称："), {}, {}), std::nullopt);
  EXPECT_EQ(scripted.records(ScriptedPrompts::Kind::Input)[0].initialText, QStringLiteral("x"));

  FileDialogRequest request;
  request.defaultExtension = QStringLiteral("sdb");
  request.title = QStringLiteral("新建数据库");
  scripted.queueFile(QStringLiteral("/tmp/a"));
  EXPECT_EQ(prompts().saveFileName(request), std::optional<QString>(QStringLiteral("/tmp/a.sdb")));
  EXPECT_EQ(prompts().openFileName(request), std::nullopt);
  const auto dialogs = scripted.records(ScriptedPrompts::Kind::SaveFile);
  ASSERT_EQ(dialogs.size(), 1u);
  EXPECT_EQ(dialogs[0].title, QStringLiteral("新建数据库"));
}

TEST(ScriptedPrompts, RecordsPoppedMenusWithoutBlocking) {
  ScopedScriptedPrompts scripted;
  QMenu menu(QStringLiteral("表"));
  menu.setObjectName(QStringLiteral("菜单_表"));
  prompts().popupMenu(menu, QPoint(3, 4));
  const auto menus = scripted.records(ScriptedPrompts::Kind::Menu);
  ASSERT_EQ(menus.size(), 1u);
  EXPECT_EQ(menus[0].text, QStringLiteral("菜单_表"));
  EXPECT_EQ(menus[0].position, QPoint(3, 4));
}

TEST(Prompts, TheScriptedOnesAreReplacedByTheRealOnesWhenTheyGo) {
  {
    ScopedScriptedPrompts scripted;
    EXPECT_EQ(&prompts(), &scripted);
  }
  EXPECT_NE(dynamic_cast<QtPrompts*>(&prompts()), nullptr);
}

TEST(FileDialogFilter, WindowsFilterBecomesQtNameFilters) {
  EXPECT_EQ(qtNameFilters(QStringLiteral("Sqlite数据库文件(*.db)|*.db|所有文件(*.*)|*.*")),
            QStringList({QStringLiteral("Sqlite数据库文件(*.db) (*.db)"),
                         QStringLiteral("所有文件(*.*) (*.*)")}));
  EXPECT_EQ(qtNameFilters(QStringLiteral("图片|*.bmp;*.jpg")),
            QStringList({QStringLiteral("图片 (*.bmp *.jpg)")}));
  EXPECT_TRUE(qtNameFilters(QString()).isEmpty());
}

TEST(FileDialogFilter, DefaultExtensionOnlyForNamesWithoutOne) {
  EXPECT_EQ(withDefaultExtension(QStringLiteral("/d/shop"), QStringLiteral("sdb")),
            QStringLiteral("/d/shop.sdb"));
  EXPECT_EQ(withDefaultExtension(QStringLiteral("/d/shop.db"), QStringLiteral("sdb")),
            QStringLiteral("/d/shop.db"));
  EXPECT_EQ(withDefaultExtension(QStringLiteral("/d.x/shop"), QString()),
            QStringLiteral("/d.x/shop"));
}

}  // namespace
}  // namespace tabulor
