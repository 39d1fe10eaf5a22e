#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include <QString>

class QProgressDialog;
class QWidget;

namespace tabulor {

class SqliteDB;

// Keeps the window alive while the statements of one piece of work run on a connection:
// once the engine is busy, a busy cursor; after about half a second, a progress dialog
// that keeps every window painted. The dialog offers 取消 only outside a transaction,
// where interrupting a statement undoes its own work and nothing else.
class BusyProgress {
 public:
  BusyProgress(QWidget* parent, SqliteDB& db, const QString& label);
  ~BusyProgress();
  BusyProgress(const BusyProgress&) = delete;
  BusyProgress& operator=(const BusyProgress&) = delete;

  // Called by the engine now and then; false once the user has cancelled.
  bool keepGoing();

 private:
  void showDialog();

  QWidget* parent_;
  SqliteDB& db_;
  QString label_;
  bool cancellable_;
  std::optional<std::int64_t> startedAt_;
  std::int64_t paintedAt_ = 0;
  std::unique_ptr<QProgressDialog> dialog_;
};

}  // namespace tabulor
