#include "platform/busy_progress.h"

#include <QApplication>
#include <QProgressDialog>

#include "platform/environment.h"
#include "sqlitedb/sqlite_db.h"

namespace tabulor {
namespace {

constexpr std::int64_t kDialogDelayMs = 500;
// Often enough for a smooth window, rarely enough to cost the work nothing.
constexpr std::int64_t kPaintIntervalMs = 50;

}  // namespace

BusyProgress::BusyProgress(QWidget* parent, SqliteDB& db, const QString& label)
    : parent_(parent), db_(db), label_(label), cancellable_(!db.inTransaction()) {
  db_.setProgressHandler([this] { return keepGoing(); });
}

BusyProgress::~BusyProgress() {
  db_.setProgressHandler({});
  if (startedAt_) QApplication::restoreOverrideCursor();
}

bool BusyProgress::keepGoing() {
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
  return !(dialog_ && dialog_->wasCanceled());
}

void BusyProgress::showDialog() {
  dialog_ = std::make_unique<QProgressDialog>(label_, QString(), 0, 0, parent_);
  dialog_->setObjectName(QStringLiteral("进度框_长时间操作"));
  dialog_->setWindowTitle(QStringLiteral("请稍候"));
  dialog_->setWindowModality(Qt::ApplicationModal);
  dialog_->setAutoClose(false);
  dialog_->setAutoReset(false);
  if (cancellable_)
    dialog_->setCancelButtonText(QStringLiteral("取消"));
  else
    dialog_->setCancelButton(nullptr);
  dialog_->show();
}

}  // namespace tabulor
