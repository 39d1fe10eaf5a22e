#include "platform/prompts.h"

#include <gtest/gtest.h>
#include <functional>

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QTranslator>

#include "platform/qt_translations.h"
#include "support/scripted_prompts.h"

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

// The dialog as the program builds it, in Qt's own form (the one the program shows when
// the desktop offers none of its own).
class FileDialogLook : public ::testing::Test {
 protected:
  void SetUp() override {
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    FileDialogRequest request;
    request.filter = QStringLiteral("Sqlite数据库文件(*.db)|*.db|所有文件(*.*)|*.*");
    request.defaultExtension = QStringLiteral("sdb");
    setUpFileDialog(dialog, request, false);
  }

  QFileDialog dialog;
};

TEST_F(FileDialogLook, ShowsEachDescriptionAsGivenAndFiltersByItsPatterns) {
  const auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
  ASSERT_NE(types, nullptr);
  ASSERT_EQ(types->count(), 2);
  EXPECT_EQ(types->itemText(0), QStringLiteral("Sqlite数据库文件(*.db)"));
  EXPECT_EQ(types->itemText(1), QStringLiteral("所有文件(*.*)"));
  EXPECT_EQ(dialog.nameFilters().constFirst(), QStringLiteral("Sqlite数据库文件(*.db) (*.db)"));
}

TEST_F(FileDialogLook, SpeaksChineseOnceQtsOwnTranslationsAreInstalled) {
  QTranslator* translator = installChineseQtTranslations(*QCoreApplication::instance());
  ASSERT_NE(translator, nullptr) << "qtbase_zh_CN is missing: scripts/install-deps installs it";
  QFileDialog translated;
  translated.setOption(QFileDialog::DontUseNativeDialog);
  setUpFileDialog(translated, FileDialogRequest(), false);
  const auto text = [&](const char* name) {
    const auto* label = translated.findChild<QLabel*>(QString::fromLatin1(name));
    return label ? label->text() : QString();
  };
  const QString lookIn = text("lookInLabel");
  const QString fileName = text("fileNameLabel");
  const QString fileType = text("fileTypeLabel");
  QCoreApplication::removeTranslator(translator);
  delete translator;
  EXPECT_EQ(lookIn, QStringLiteral("查找范围："));
  EXPECT_EQ(fileName, QStringLiteral("文件名称(&N)："));
  EXPECT_EQ(fileType, QStringLiteral("文件类型："));
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

namespace tabulor {
namespace {

// Hands the next modal dialog to `act` once it is up; act must close it.
void whenModal(std::function<void(QWidget*)> act) {
  QTimer::singleShot(0, [act] { act(QApplication::activeModalWidget()); });
}

QStringList buttonTexts(QWidget* dialog) {
  QStringList texts;
  for (auto* button : dialog->findChildren<QPushButton*>()) texts << button->text();
  texts.sort();
  return texts;
}

TEST(QtPrompts, MessageBoxMapsTheWindowsFlags) {
  QtPrompts real;
  QString title;
  QStringList buttons;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QString defaultButton;
  whenModal([&](QWidget* dialog) {
    auto* box = qobject_cast<QMessageBox*>(dialog);
    ASSERT_NE(box, nullptr);
    title = box->windowTitle();
    buttons = buttonTexts(box);
    icon = box->icon();
    defaultButton = box->defaultButton()->text();
    for (auto* button : box->buttons())
      if (button->text() == QStringLiteral("否(&N)")) button->click();
  });
  EXPECT_EQ(real.messageBox(QStringLiteral("删除后不能恢复，请确认是否继续？"), {},
                            MessageFlags::YesNo | MessageFlags::ErrorIcon),
            Answer::No);
  EXPECT_EQ(title, QStringLiteral("信息："));
  EXPECT_EQ(buttons, QStringList({QStringLiteral("否(&N)"), QStringLiteral("是(&Y)")}));
  EXPECT_EQ(icon, QMessageBox::Critical);
  EXPECT_EQ(defaultButton, QStringLiteral("是(&Y)"));
}

TEST(QtPrompts, SecondButtonDefaultAndAGivenTitle) {
  QtPrompts real;
  QString title, defaultButton;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  whenModal([&](QWidget* dialog) {
    auto* box = qobject_cast<QMessageBox*>(dialog);
    ASSERT_NE(box, nullptr);
    title = box->windowTitle();
    icon = box->icon();
    defaultButton = box->defaultButton()->text();
    box->defaultButton()->click();
  });
  EXPECT_EQ(real.messageBox(QStringLiteral("?"), QStringLiteral("请确认："),
                            MessageFlags::OkCancel | MessageFlags::QuestionIcon |
                                MessageFlags::SecondButtonDefault),
            Answer::Cancel);
  EXPECT_EQ(title, QStringLiteral("请确认："));
  EXPECT_EQ(icon, QMessageBox::Question);
  EXPECT_EQ(defaultButton, QStringLiteral("取消"));
}

TEST(QtPrompts, InputBoxHasItsCaptionsAndReturnsTheText) {
  QtPrompts real;
  QString title, initial;
  QStringList buttons;
  whenModal([&](QWidget* dialog) {
    title = dialog->windowTitle();
    buttons = buttonTexts(dialog);
    auto* edit = dialog->findChild<QLineEdit*>();
    initial = edit->text();
    edit->setText(QStringLiteral("新名称"));
    for (auto* button : dialog->findChildren<QPushButton*>())
      if (button->text() == QStringLiteral("确认输入(&O)")) button->click();
  });
  EXPECT_EQ(real.inputBox(QStringLiteral("请输入新的表名称："), {}, QStringLiteral("goods")),
            std::optional<QString>(QStringLiteral("新名称")));
  EXPECT_EQ(title, QStringLiteral("请输入："));
  EXPECT_EQ(initial, QStringLiteral("goods"));
  EXPECT_EQ(buttons, QStringList({QStringLiteral("取消(&C)"), QStringLiteral("确认输入(&O)")}));

  whenModal([](QWidget* dialog) {
    for (auto* button : dialog->findChildren<QPushButton*>())
      if (button->text() == QStringLiteral("取消(&C)")) button->click();
  });
  EXPECT_EQ(real.inputBox(QStringLiteral("?"), QStringLiteral("t"), {}), std::nullopt);
}

}  // namespace
}  // namespace tabulor
