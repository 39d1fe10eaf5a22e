// Keeping the window answering through any long engine work, and what 取消 holds back.
#pragma once

#include <atomic>
#include <functional>
#include <memory>

#include <QObject>
#include <QString>

class QWidget;

namespace tabulor {

class BusyProgress;
class SqliteDB;

// Keeps the window answering whenever the connection works for long, whatever command
// started the work: the connection's progress handler drives a BusyProgress (busy
// cursor, then after half a second a dialog with 取消 outside a transaction). A piece of
// work ends when the next command begins or the event loop goes idle again.
//
// After 取消 the interrupted statement undoes its own work and the command fails; its
// complaints (message boxes, failure lines of the log) are held back and the user reads
// one line instead: "已取消：" and what was cancelled. A step that spends long inside one
// engine instruction (counting a big table) runs on a worker thread meanwhile.
class EngineWatch : public QObject {
 public:
  EngineWatch(QWidget* window, SqliteDB& db, std::function<void(const QString&)> log);
  ~EngineWatch() override;
  EngineWatch(const EngineWatch&) = delete;
  EngineWatch& operator=(const EngineWatch&) = delete;

  // A command begins: what names it in the dialog ("正在" what "，请稍候……") and in the
  // cancel line. Ends the work before it. A step of a running command (showing the table
  // afresh after it) is no new command: it may use the engine again after 取消, but the
  // command keeps its name and its complaints stay held back.
  void begin(const QString& what, bool withinCommand);
  // True from the user's 取消 until the next command begins or the loop goes idle.
  bool cancelled() const { return quiet_; }

 private:
  bool keepGoing();
  void runAnswering(const std::function<void()>& step);
  void endWork();

  QWidget* window_;
  SqliteDB& db_;
  std::function<void(const QString&)> log_;
  QString what_;
  std::unique_ptr<BusyProgress> busy_;
  // The engine is to stop; also read by the progress handler on the thread of a long step.
  std::atomic<bool> cancelled_ = false;
  // The cancelled command's complaints are held back.
  bool quiet_ = false;
};

}  // namespace tabulor
