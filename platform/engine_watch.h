// Keeping the window answering through any long engine work, and what 取消 holds back.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

#include <QObject>
#include <QString>

class QWidget;

namespace tabulor {

class BusyProgress;
class SqliteDB;
class WithheldFailureReports;

// Keeps the window answering whenever the connection works for long, whatever command
// started the work: the connection's progress handler drives a BusyProgress (busy
// cursor, then after half a second a dialog, with 取消 outside a transaction and outside
// the program's own reads).
//
// 取消 stops the statement running at that moment, once: it fails and undoes its own
// work, and what the program reads afterwards runs. The work it belonged to is then
// cancelled: the log says "已取消：" and its name, and its failure boxes and failure lines
// are held back until it ends.
//
// While a statement runs, the window's events are answered but nothing else may start on
// the connection: work posted from the window goes through whenEngineFree.
//
// Threads: the window's thread, but for its progress handler. A long step the connection
// runs beside the window (SqliteDB::runLongStep) calls the handler on the step's thread,
// where it only says whether 取消 stopped the step; the window's thread meanwhile keeps the
// dialog and, on 取消, interrupts the connection.
class EngineWatch : public QObject {
 public:
  // One named piece of work, from its start to its end (a command, a show, an edit).
  // Pieces nest: an inner one (showing the table afresh after a command) names the
  // dialog while it runs and is cancelled on its own. When the outermost ends, its
  // dialog closes and the work deferred meanwhile runs.
  class Work {
   public:
    Work(EngineWatch& watch, const QString& what);
    ~Work();
    Work(const Work&) = delete;
    Work& operator=(const Work&) = delete;

   private:
    EngineWatch& watch_;
  };

  EngineWatch(QWidget* window, SqliteDB& db, std::function<void(const QString&)> log);
  ~EngineWatch() override;
  EngineWatch(const EngineWatch&) = delete;
  EngineWatch& operator=(const EngineWatch&) = delete;

  [[nodiscard]] Work begin(const QString& what) { return Work(*this, what); }
  // True once 取消 stopped a statement of the innermost work, until that work ends.
  bool cancelled() const;
  // Runs the work from the event loop once no statement runs and no work is under way.
  void whenEngineFree(std::function<void()> work);

 private:
  struct Piece {
    QString what;
    std::unique_ptr<WithheldFailureReports> withheld;  // set once cancelled
  };

  bool keepGoing();
  bool answer(bool inTransaction);
  void runAnswering(const std::function<void()>& step);
  void cancelInnermost();
  void leave();
  void endBusy();
  bool engineBusy() const;
  void runDeferred();
  const QString& currentWork() const;
  QString busyText() const;
  void relabel();

  QWidget* window_;
  SqliteDB& db_;
  std::function<void(const QString&)> log_;
  std::vector<Piece> pieces_;
  std::unique_ptr<BusyProgress> busy_;
  // 取消 during a step beside the window: read by the handler on the step's thread.
  std::atomic<bool> stopStep_ = false;
  bool busyInTransaction_ = false;  // the dialog's work runs in the user's transaction
  int answering_ = 0;               // inside the handler's turn of the event loop
  std::vector<std::function<void()>> deferred_;
};

}  // namespace tabulor
