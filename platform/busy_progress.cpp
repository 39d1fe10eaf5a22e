// The busy cursor and progress dialog of long work, and running a step on another thread.

#include "platform/busy_progress.h"

#include <algorithm>
#include <chrono>
#include <future>

#include <QApplication>
#include <QProgressDialog>
#include <QThread>

#include "platform/environment.h"
#include "sqlitedb/sqlite_db.h"

namespace tabulor {
namespace {

constexpr std::int64_t kDialogDelayMs = 500;
// Often enough for a smooth window, rarely enough to cost the work nothing.
constexpr std::int64_t kPaintIntervalMs = 50;
// The bar counts in thousandths: its range is an int, and files pass 2 GB.
constexpr std::int64_t kProgressSteps = 1000;

}  // namespace

QString busyLabel(const QString& label, bool inTransaction) {
  return inTransaction
             ? label + QStringLiteral("\n（事务进行中：中断会撤销整个事务，所以不能取消。）")
             : label;
}

void runBeside(const std::function<void()>& step, const std::function<void()>& turn) {
  std::future<void> done = std::async(std::launch::async, step);
  while (done.wait_for(std::chrono::milliseconds(kPaintIntervalMs)) != std::future_status::ready)
    turn();
  done.get();
}

BusyProgress::BusyProgress(QWidget* parent, SqliteDB& db, const QString& label)
    : parent_(parent),
      db_(&db),
      label_(busyLabel(label, db.inTransaction())),
      cancellable_(!db.inTransaction()),
      previousHandler_(db.progressHandler()) {
  db_->setProgressHandler([this] { return keepGoing(); });
}

BusyProgress::BusyProgress(QWidget* parent, const QString& label, bool cancellable)
    : parent_(parent), label_(label), cancellable_(cancellable) {}

BusyProgress::~BusyProgress() {
  if (db_) db_->setProgressHandler(std::move(previousHandler_));
  if (startedAt_) QApplication::restoreOverrideCursor();
  delete dialog_.data();
}

void BusyProgress::setCancellable(bool cancellable) {
  if (cancellable == cancellable_) return;
  cancellable_ = cancellable;
  if (!dialog_) return;
  if (cancellable)
    dialog_->setCancelButtonText(QStringLiteral("取消"));
  else
    dialog_->setCancelButton(nullptr);
}

void BusyProgress::setLabel(const QString& label) {
  label_ = label;
  if (dialog_) dialog_->setLabelText(label);
}

void BusyProgress::setProgress(std::int64_t done, std::int64_t total) {
  done_ = done;
  total_ = total;
  if (dialog_) showProgress();
}

void BusyProgress::runWithoutCallbacks(const std::function<void()>& step) {
  keepGoing();
  runBeside(step, [this] { keepGoing(); });
}

bool BusyProgress::keepGoing() {
  Q_ASSERT_X(QThread::currentThread() == qApp->thread(), "BusyProgress::keepGoing",
             "called beside the window's thread");
  const std::int64_t now = environment().tickCount();
  if (!startedAt_) {
    // Set at the first sign of work, so a question asked before it keeps its cursor.
    startedAt_ = now;
    paintedAt_ = now;
    QApplication::setOverrideCursor(Qt::WaitCursor);
  }
  if (now - paintedAt_ >= kPaintIntervalMs) {
    paintedAt_ = now;
    if (!dialog_ && now - *startedAt_ >= kDialogDelayMs) showDialog();
    // Until the modal dialog is up, no click may reach a window in the middle of the work.
    QCoreApplication::processEvents(dialog_ ? QEventLoop::AllEvents
                                            : QEventLoop::ExcludeUserInputEvents);
  }
  return !(dialog_ && cancellable_ && dialog_->wasCanceled());
}

void BusyProgress::showDialog() {
  dialog_ = new QProgressDialog(label_, QString(), 0, 0, parent_);
  dialog_->setObjectName(kBusyDialogName);
  dialog_->setWindowTitle(QStringLiteral("请稍候"));
  dialog_->setWindowModality(Qt::ApplicationModal);
  dialog_->setAutoClose(false);
  dialog_->setAutoReset(false);
  if (cancellable_)
    dialog_->setCancelButtonText(QStringLiteral("取消"));
  else
    dialog_->setCancelButton(nullptr);
  showProgress();
  dialog_->show();
}

void BusyProgress::showProgress() {
  if (total_ <= 0) return;
  dialog_->setMaximum(static_cast<int>(kProgressSteps));
  dialog_->setValue(
      static_cast<int>(std::clamp(done_, std::int64_t{0}, total_) * kProgressSteps / total_));
}

}  // namespace tabulor
