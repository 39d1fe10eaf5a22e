// The connection's watch: dialogs opened while its busy dialog is up, re-entry held back,
// and one 取消 stopping one statement.
#include "platform/engine_watch.h"

#include <functional>
#include <memory>

#include <gtest/gtest.h>
#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QDialog>
#include <QProgressDialog>
#include <QPushButton>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include "platform/busy_progress.h"
#include "platform/prompts.h"
#include "report/notice.h"
#include "sqlitedb/sqlite_dataset.h"
#include "sqlitedb/sqlite_db.h"
#include "sqlitedb/text_table.h"
#include "support/scripted_prompts.h"
#include "support/test_environment.h"

namespace tabulor {
namespace {

// About a million engine steps: over a hundred calls of the progress handler.
const char* const kLongQuery =
    "WITH RECURSIVE r(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM r WHERE n < 300000)"
    " SELECT count(*) FROM r";

QProgressDialog* busyDialog() {
  for (QWidget* top : QApplication::topLevelWidgets())
    if (top->objectName() == kBusyDialogName && top->isVisible())
      return static_cast<QProgressDialog*>(top);
  return nullptr;
}

class EngineWatchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(db.open(":memory:", true));
    window.show();
    QApplication::setActiveWindow(&window);
    // Each reading of the clock counts as 10 ms of work.
    env.setTickStep(10);
  }
  bool runLongQuery() {
    auto query = db.query(kLongQuery);
    return query->requery() && query->fetchAllText(false).cell(0, 0) == "300000";
  }

  ScopedTestEnvironment env{QString()};
  QWidget window;
  SqliteDB db;
  QStringList log;
  EngineWatch watch{&window, db, [this](const QString& line) { log << line; }};
};

// Answers (rejects) the first modal dialog that is not the busy dialog once its loop waits for
// input, which is when a user's click comes: a file dialog still reading the drives keeps its
// loop busy for a while.
void closeNextDialog() {
  QTimer::singleShot(0, [] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!dialog || dialog->objectName() == kBusyDialogName) return closeNextDialog();
    auto waiting = std::make_shared<QMetaObject::Connection>();
    *waiting = QObject::connect(QAbstractEventDispatcher::instance(),
                                &QAbstractEventDispatcher::aboutToBlock, dialog, [dialog, waiting] {
                                  QObject::disconnect(*waiting);
                                  QTimer::singleShot(0, dialog, &QDialog::reject);
                                });
  });
}

// A dialog opened over the busy dialog died with it when the work ended under it.
TEST_F(EngineWatchTest, DialogsOpenedWhileTheBusyDialogIsUpOutliveIt) {
  QtPrompts real;
  const std::vector<std::pair<const char*, std::function<void()>>> dialogs = {
      {"box", [&] { real.messageBox(QStringLiteral("查询成功"), MessageFlags::InformationIcon); }},
      {"question", [&] { real.messageBox(QStringLiteral("确定吗？"), MessageFlags::YesNoCancel); }},
      {"file dialog", [&] { real.openFileName(FileDialogRequest()); }},
  };
  for (const auto& [name, open] : dialogs) {
    const auto work = watch.begin(QStringLiteral("执行SQL语句"));
    ASSERT_TRUE(runLongQuery()) << name;
    ASSERT_NE(busyDialog(), nullptr) << name << ": the work raised the busy dialog";
    QApplication::setActiveWindow(busyDialog());
    closeNextDialog();
    open();
    EXPECT_EQ(busyDialog(), nullptr) << name << ": no work runs while the user is asked";
  }
}

TEST_F(EngineWatchTest, WorkPostedDuringAStatementRunsOnlyAfterIt) {
  bool statementDone = false;
  std::vector<bool> ranAfterStatement;
  QTimer poster;
  poster.setInterval(0);
  QObject::connect(&poster, &QTimer::timeout, [&] {
    poster.stop();
    watch.whenEngineFree([&] {
      ranAfterStatement.push_back(statementDone);
      EXPECT_TRUE(db.execute("SELECT 1")) << "the connection is free again";
    });
  });
  poster.start();
  {
    const auto work = watch.begin(QStringLiteral("执行SQL语句"));
    ASSERT_TRUE(runLongQuery());
    statementDone = true;
  }
  QCoreApplication::processEvents();
  EXPECT_EQ(ranAfterStatement, std::vector<bool>{true});
}

TEST_F(EngineWatchTest, OneCancelStopsOneStatementAndHoldsBackTheWorksFailures) {
  QTimer user;
  user.setInterval(0);
  QObject::connect(&user, &QTimer::timeout, [&] {
    if (QProgressDialog* dialog = busyDialog())
      if (auto* cancel = dialog->findChild<QPushButton*>()) {
        cancel->click();
        user.stop();
      }
  });
  user.start();
  ScopedScriptedPrompts scripted;
  {
    const auto work = watch.begin(QStringLiteral("清空表"));
    EXPECT_FALSE(runLongQuery());
    EXPECT_TRUE(watch.cancelled());
    env.setTickStep(0);
    EXPECT_TRUE(runLongQuery()) << "the program's next statement runs";
    showNotice(makeNotice("清空表失败！", MessageFlags::ErrorIcon));
    showNotice(makeNotice("已清空。", MessageFlags::InformationIcon));
  }
  EXPECT_FALSE(watch.cancelled());
  EXPECT_EQ(log, QStringList{QStringLiteral("已取消：清空表")});
  scripted.queueAnswer(Answer::Yes);
  EXPECT_EQ(prompts().messageBox(QStringLiteral("您确认要删除当前记录吗？"),
                                 MessageFlags::YesNoCancel | MessageFlags::QuestionIcon),
            Answer::Yes);
  EXPECT_EQ(scripted.messages(),
            QStringList({QStringLiteral("已清空。"), QStringLiteral("您确认要删除当前记录吗？")}))
      << "only the failure was held back, and only while the work lasted";
}

}  // namespace
}  // namespace tabulor
