#include "platform/engine_watch.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>

#include "platform/busy_progress.h"
#include "platform/prompts.h"
#include "sqlitedb/sqlite_db.h"

namespace tabulor {

EngineWatch::EngineWatch(QWidget* window, SqliteDB& db, std::function<void(const QString&)> log)
    : window_(window), db_(db), log_(std::move(log)), what_(QStringLiteral("读写数据库")) {
  db_.setProgressHandler([this] { return keepGoing(); });
  // The event loop waits for input only once the command has returned (or asks the
  // user something): the work is over then.
  if (auto* dispatcher = QAbstractEventDispatcher::instance())
    connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &EngineWatch::endWork);
}

EngineWatch::~EngineWatch() {
  db_.setProgressHandler({});
  withholdMessageBoxes(false);
}

void EngineWatch::begin(const QString& what) {
  endWork();
  what_ = what;
}

bool EngineWatch::keepGoing() {
  if (cancelled_) return false;
  if (!busy_) {
    const bool inTransaction = db_.inTransaction();
    busy_ = std::make_unique<BusyProgress>(
        window_,
        busyLabel(QStringLiteral("正在") + what_ + QStringLiteral("，请稍候……"), inTransaction),
        !inTransaction);
  }
  if (busy_->keepGoing()) return true;
  log_(QStringLiteral("已取消：") + what_);
  cancelled_ = true;
  withholdMessageBoxes(true);
  return false;
}

void EngineWatch::endWork() {
  busy_.reset();
  cancelled_ = false;
  withholdMessageBoxes(false);
}

}  // namespace tabulor
