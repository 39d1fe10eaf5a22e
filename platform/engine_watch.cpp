// Keeping the window answering through any long engine work, and what 取消 holds back.

#include "platform/engine_watch.h"

#include <QAbstractEventDispatcher>
#include <QThread>

#include "platform/busy_progress.h"
#include "platform/prompts.h"
#include "sqlitedb/sqlite_db.h"

namespace tabulor {
namespace {

// Engine work that no piece names: the window's own, outside any command.
const QString kUnnamedWork = QStringLiteral("读写数据库");

// Counts a turn of the event loop taken inside the engine's progress handler.
class Answering {
 public:
  explicit Answering(int& depth) : depth_(depth) { ++depth_; }
  ~Answering() { --depth_; }
  Answering(const Answering&) = delete;
  Answering& operator=(const Answering&) = delete;

 private:
  int& depth_;
};

}  // namespace

EngineWatch::Work::Work(EngineWatch& watch, const QString& what) : watch_(watch) {
  watch_.pieces_.push_back({what, nullptr});
  watch_.relabel();
}

EngineWatch::Work::~Work() { watch_.leave(); }

EngineWatch::EngineWatch(QWidget* window, SqliteDB& db, std::function<void(const QString&)> log)
    : window_(window), db_(db), log_(std::move(log)) {
  db_.setProgressHandler([this] { return keepGoing(); });
  db_.setLongStepRunner([this](const std::function<void()>& step) { runAnswering(step); });
  // The event loop waits for input only once the work has returned or asks the user
  // something: no statement runs then, so the dialog goes.
  if (auto* dispatcher = QAbstractEventDispatcher::instance())
    connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, [this] {
      endBusy();
      if (pieces_.empty()) runDeferred();
    });
}

EngineWatch::~EngineWatch() {
  db_.setProgressHandler({});
  db_.setLongStepRunner({});
}

bool EngineWatch::cancelled() const { return !pieces_.empty() && pieces_.back().withheld; }

void EngineWatch::whenEngineFree(std::function<void()> work) {
  QMetaObject::invokeMethod(
      this,
      [this, work = std::move(work)]() mutable {
        if (engineBusy())
          deferred_.push_back(std::move(work));
        else
          work();
      },
      Qt::QueuedConnection);
}

bool EngineWatch::engineBusy() const {
  return answering_ > 0 || db_.stepRunsBeside() || !pieces_.empty();
}

void EngineWatch::runDeferred() {
  std::vector<std::function<void()>> ready;
  ready.swap(deferred_);
  for (auto& work : ready) whenEngineFree(std::move(work));
}

const QString& EngineWatch::currentWork() const {
  return pieces_.empty() ? kUnnamedWork : pieces_.back().what;
}

QString EngineWatch::busyText() const {
  return busyLabel(QStringLiteral("正在") + currentWork() + QStringLiteral("，请稍候……"),
                   busyInTransaction_);
}

void EngineWatch::relabel() {
  if (busy_) busy_->setLabel(busyText());
}

bool EngineWatch::keepGoing() {
  // On the thread of a long step only the answer is given; the window is kept by the
  // thread that waits for the step.
  if (QThread::currentThread() != thread()) return !stopStep_;
  return answer(db_.inTransaction());
}

bool EngineWatch::answer(bool inTransaction) {
  if (!busy_) {
    busyInTransaction_ = inTransaction;
    // Over whichever window the user is working in (the console, the designer).
    QWidget* over = dialogParent();
    busy_ = std::make_unique<BusyProgress>(over ? over : window_, busyText(), !inTransaction);
  }
  busy_->setCancellable(!inTransaction && db_.stoppable());
  bool goOn = true;
  {
    const Answering turn(answering_);
    goOn = busy_->keepGoing();
  }
  if (!goOn) cancelInnermost();
  return goOn;
}

void EngineWatch::runAnswering(const std::function<void()>& step) {
  // The window's thread makes no call on the connection while the step runs beside it.
  const bool inTransaction = db_.inTransaction();
  runBeside(step, [this, inTransaction] {
    if (answer(inTransaction)) return;
    stopStep_ = true;
    db_.interrupt();
  });
  stopStep_ = false;
}

void EngineWatch::cancelInnermost() {
  log_(QStringLiteral("已取消：") + currentWork());
  if (!pieces_.empty() && !pieces_.back().withheld)
    pieces_.back().withheld = std::make_unique<WithheldFailureReports>();
  // Each 取消 stops one statement; work after it gets a dialog of its own.
  busy_.reset();
}

void EngineWatch::leave() {
  pieces_.pop_back();
  if (!pieces_.empty()) return relabel();
  endBusy();
  runDeferred();
}

void EngineWatch::endBusy() {
  // Never under the feet of the handler's own turn of the event loop.
  if (answering_ == 0 && !db_.stepRunsBeside()) busy_.reset();
}

}  // namespace tabulor
