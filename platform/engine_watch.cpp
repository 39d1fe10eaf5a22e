// Keeping the window answering through any long engine work, and what 取消 holds back.

#include "platform/engine_watch.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QThread>

#include "platform/busy_progress.h"
#include "platform/prompts.h"
#include "sqlitedb/sqlite_db.h"

namespace tabulor {

EngineWatch::EngineWatch(QWidget* window, SqliteDB& db, std::function<void(const QString&)> log)
    : window_(window), db_(db), log_(std::move(log)), what_(QStringLiteral("读写数据库")) {
  db_.setProgressHandler([this] { return keepGoing(); });
  db_.setLongStepRunner([this](const std::function<void()>& step) { runAnswering(step); });
  // The event loop waits for input only once the command has returned (or asks the
  // user something): the work is over then.
  if (auto* dispatcher = QAbstractEventDispatcher::instance())
    connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &EngineWatch::endWork);
}

EngineWatch::~EngineWatch() {
  db_.setProgressHandler({});
  db_.setLongStepRunner({});
  withholdMessageBoxes(false);
}

void EngineWatch::begin(const QString& what, bool withinCommand) {
  busy_.reset();
  cancelled_ = false;
  if (withinCommand) return;
  quiet_ = false;
  withholdMessageBoxes(false);
  what_ = what;
}

bool EngineWatch::keepGoing() {
  if (cancelled_) return false;
  // On the thread of a long step only the answer is given; the window is kept by the
  // thread that waits for the step.
  if (QThread::currentThread() != thread()) return true;
  if (!busy_) {
    const bool inTransaction = db_.inTransaction();
    // Over whichever window the user is working in (the console, the designer).
    QWidget* active = QApplication::activeWindow();
    busy_ = std::make_unique<BusyProgress>(
        active ? active : window_,
        busyLabel(QStringLiteral("正在") + what_ + QStringLiteral("，请稍候……"), inTransaction),
        !inTransaction);
  }
  if (busy_->keepGoing()) return true;
  log_(QStringLiteral("已取消：") + what_);
  cancelled_ = true;
  quiet_ = true;
  withholdMessageBoxes(true);
  return false;
}

void EngineWatch::runAnswering(const std::function<void()>& step) {
  runBeside(step, [this] {
    if (!keepGoing()) db_.interrupt();
  });
}

void EngineWatch::endWork() {
  busy_.reset();
  cancelled_ = false;
  quiet_ = false;
  withholdMessageBoxes(false);
}

}  // namespace tabulor
