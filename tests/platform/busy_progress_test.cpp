#include "platform/busy_progress.h"

#include <atomic>
#include <chrono>
#include <thread>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>
#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QWidget>

#include "sqlitedb/sqlite_dataset.h"
#include "sqlitedb/sqlite_db.h"
#include "support/test_environment.h"

namespace tabulor {
namespace {

class BusyProgressTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(db.open(":memory:", true));
    ASSERT_TRUE(db.execute(
        "CREATE TABLE t (a); WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n"
        " WHERE i < 20000) INSERT INTO t SELECT i FROM n"));
  }
  QProgressDialog* dialog() { return window.findChild<QProgressDialog*>(); }
  // The engine calls the scope this way while a statement runs.
  bool engineCallsAfter(std::int64_t milliseconds) {
    env.setTickCount(env.tickCount() + milliseconds);
    return db.execute("SELECT 1") && busy->keepGoing();
  }
  std::string sum() {
    auto result = db.query("SELECT sum(a) FROM t");
    return result->requery() ? result->fetchAllText().cell(0, 0) : "<failed>";
  }

  ScopedTestEnvironment env{QString()};
  QWidget window;
  SqliteDB db;
  std::unique_ptr<BusyProgress> busy;
};

TEST_F(BusyProgressTest, ShowsABusyCursorThenADialogWhoseCancelInterruptsTheWork) {
  busy = std::make_unique<BusyProgress>(&window, db, QStringLiteral("正在修改表……"));
  EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "nothing before the engine works";
  ASSERT_TRUE(engineCallsAfter(0));
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  ASSERT_TRUE(engineCallsAfter(400));
  EXPECT_EQ(dialog(), nullptr) << "short work shows no dialog";

  ASSERT_TRUE(engineCallsAfter(200));
  ASSERT_NE(dialog(), nullptr);
  EXPECT_TRUE(dialog()->isVisible());
  EXPECT_EQ(dialog()->findChild<QLabel*>()->text(), QStringLiteral("正在修改表……"));
  QPushButton* cancel = dialog()->findChild<QPushButton*>();
  ASSERT_NE(cancel, nullptr);
  EXPECT_EQ(cancel->text(), QStringLiteral("取消"));

  cancel->click();
  EXPECT_FALSE(busy->keepGoing());
  EXPECT_FALSE(db.execute("UPDATE t SET a = -a")) << "the engine is told to stop";
  EXPECT_EQ(db.errorText(), "interrupted");

  busy.reset();
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(dialog(), nullptr);
  EXPECT_EQ(sum(), "200010000") << "the interrupted change was undone";
  EXPECT_TRUE(db.execute("UPDATE t SET a = -a")) << "the connection is no longer watched";
}

// Interrupting a change would undo the user's whole transaction.
TEST_F(BusyProgressTest, InsideATransactionTheWorkCannotBeCancelled) {
  ASSERT_TRUE(db.beginTransaction());
  busy = std::make_unique<BusyProgress>(&window, db, QStringLiteral("正在执行……"));
  ASSERT_TRUE(engineCallsAfter(0));
  ASSERT_TRUE(engineCallsAfter(600));
  ASSERT_NE(dialog(), nullptr);
  EXPECT_EQ(dialog()->findChild<QPushButton*>(), nullptr);
  EXPECT_TRUE(busy->keepGoing());
}

// Our own work: once it can no longer be undone 取消 goes away, and a step that cannot
// call back runs on another thread while the window is kept painted.
TEST_F(BusyProgressTest, OwnWorkLosesItsCancelWhenItCanNoLongerBeUndone) {
  busy = std::make_unique<BusyProgress>(&window, QStringLiteral("正在导出表格……"), true);
  EXPECT_TRUE(busy->keepGoing());
  env.setTickCount(env.tickCount() + 600);
  EXPECT_TRUE(busy->keepGoing());
  ASSERT_NE(dialog(), nullptr);
  ASSERT_NE(dialog()->findChild<QPushButton*>(), nullptr);

  busy->endCancelling();
  EXPECT_EQ(dialog()->findChild<QPushButton*>(), nullptr);
  std::atomic<bool> stepDone = false;
  busy->runWithoutCallbacks([&stepDone] {
    std::this_thread::sleep_for(std::chrono::milliseconds(120));
    stepDone = true;
  });
  EXPECT_TRUE(stepDone);
  EXPECT_TRUE(dialog()->isVisible());
}

// Work that knows its size shows a bar of what is done, in any size of bytes; until the
// size is known the bar only says the work goes on.
TEST_F(BusyProgressTest, OwnWorkOfKnownSizeShowsHowMuchIsDone) {
  busy = std::make_unique<BusyProgress>(&window, QStringLiteral("正在备份数据库文件……"), true);
  busy->setProgress(0, 0);
  EXPECT_TRUE(busy->keepGoing());
  env.setTickCount(env.tickCount() + 600);
  EXPECT_TRUE(busy->keepGoing());
  ASSERT_NE(dialog(), nullptr);
  auto* bar = dialog()->findChild<QProgressBar*>();
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->maximum(), 0) << "a bar that only moves";

  constexpr std::int64_t kGiB = std::int64_t{1} << 30;
  const std::vector<std::tuple<std::int64_t, std::int64_t, QString>> cases = {
      {0, 4 * kGiB, QStringLiteral("0%")},
      {3 * kGiB, 4 * kGiB, QStringLiteral("75%")},
      {4 * kGiB, 4 * kGiB, QStringLiteral("100%")},
      {5 * kGiB, 4 * kGiB, QStringLiteral("100%")},  // a file that grew while it was copied
  };
  for (const auto& [done, total, shown] : cases) {
    busy->setProgress(done, total);
    EXPECT_EQ(bar->text(), shown) << done << " of " << total;
  }
  EXPECT_TRUE(dialog()->isVisible());
  EXPECT_TRUE(busy->keepGoing());
}

}  // namespace
}  // namespace tabulor
