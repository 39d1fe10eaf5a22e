// The busy cursor and progress dialog of long work, and running a step on another thread.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include <QPointer>
#include <QProgressDialog>
#include <QString>
#include <QWidget>

namespace tabulor {

class SqliteDB;

// The dialog's label; inside the user's transaction it says why there is no 取消.
QString busyLabel(const QString& label, bool inTransaction);

// The busy dialog's object name: the other dialogs never take it as their parent, since
// it goes when its work ends, which may be while they are open.
inline const QString kBusyDialogName = QStringLiteral("进度框_长时间操作");

// Runs a step that cannot call back on another thread, and calls turn on this thread
// every 50 ms until it is done (to keep the window answering, and to stop the step
// early); the step's end wakes this thread at once.
//
// Threads: step runs on a thread of its own: it must touch no widget, and what turn reads
// while it runs must be atomic. An exception from step comes out of runBeside, on the
// calling thread.
void runBeside(const std::function<void()>& step, const std::function<void()>& turn);

// Keeps the window alive during one long piece of work: once the work has begun, a busy
// cursor; after about half a second, a progress dialog that keeps every window painted,
// with 取消 while stopping loses nothing.
//
// Threads: the thread of its widgets only, keepGoing() included, so as a connection's
// progress handler it must not be asked from a long step beside the window (EngineWatch
// answers those itself). The step given to runWithoutCallbacks runs on another thread and
// must not call it.
class BusyProgress {
 public:
  // Work done by the statements of a connection, which calls keepGoing() itself. 取消 is
  // offered only outside a transaction, where interrupting a statement undoes its own
  // work and nothing else.
  BusyProgress(QWidget* parent, SqliteDB& db, const QString& label);
  // Work of our own, which calls keepGoing() now and then.
  BusyProgress(QWidget* parent, const QString& label, bool cancellable);
  ~BusyProgress();
  BusyProgress(const BusyProgress&) = delete;
  BusyProgress& operator=(const BusyProgress&) = delete;

  // Called now and then by the work; false once the user has cancelled.
  bool keepGoing();
  // From here on the work can no longer be undone: 取消 goes away.
  void endCancelling() { setCancellable(false); }
  // Whether 取消 is offered from here on.
  void setCancellable(bool cancellable);
  void setLabel(const QString& label);
  // How far the work has come, shown as a bar once the dialog is up; a total of 0 is
  // work of unknown length.
  void setProgress(std::int64_t done, std::int64_t total);
  // Runs a step that cannot call back (a library writing a file) on another thread and
  // keeps the window painted until it is done.
  void runWithoutCallbacks(const std::function<void()>& step);

 private:
  void showDialog();
  void showProgress();

  // The dialog belongs to its parent, which may close first (a console, a designer).
  QPointer<QWidget> parent_;
  SqliteDB* db_ = nullptr;
  QString label_;
  bool cancellable_;
  std::optional<std::int64_t> startedAt_;
  std::int64_t paintedAt_ = 0;
  std::int64_t done_ = 0;
  std::int64_t total_ = 0;
  QPointer<QProgressDialog> dialog_;
  std::function<bool()> previousHandler_;
};

}  // namespace tabulor
