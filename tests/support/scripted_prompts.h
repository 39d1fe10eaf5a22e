#pragma once

#include <deque>
#include <optional>
#include <vector>

#include <QPoint>
#include <QString>
#include <QStringList>

#include "platform/prompts.h"

namespace tabulor {

// A Prompts for tests: records every interaction and answers from queues. A box
// with no queued answer is answered with its first button (Ok or Yes); a dialog
// with no queued answer is cancelled.
class ScriptedPrompts : public Prompts {
 public:
  enum class Kind { Message, Input, OpenFile, SaveFile, Menu };
  struct Record {
    Kind kind;
    QString text;            // message text, input prompt; for a menu its object name
    QString title;           // as given (empty when none was given)
    QString initialText;     // an input box's initial text
    int flags = 0;           // message flags
    FileDialogRequest file;  // the dialog request
    QPoint position;         // a menu's position
  };

  using Prompts::messageBox;
  Answer messageBox(const QString& text, const QString& title, int flags) override;
  std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                  const QString& initialText) override;
  std::optional<QString> openFileName(const FileDialogRequest& request) override;
  std::optional<QString> saveFileName(const FileDialogRequest& request) override;
  void popupMenu(QMenu& menu, const QPoint& globalPosition) override;

  void queueAnswer(Answer answer) { answers_.push_back(answer); }
  // nullopt queues a cancel.
  void queueInput(const std::optional<QString>& text) { inputs_.push_back(text); }
  void queueFile(const std::optional<QString>& path) { files_.push_back(path); }

  const std::vector<Record>& records() const { return records_; }
  std::vector<Record> records(Kind kind) const;
  // The texts of the message boxes shown so far.
  QStringList messages() const;
  void clear() { records_.clear(); }

 private:
  std::vector<Record> records_;
  std::deque<Answer> answers_;
  // {given, text}: an entry that is not given answers with a cancel.
  std::deque<std::optional<QString>> inputs_;
  std::deque<std::optional<QString>> files_;
};

// Installs a ScriptedPrompts for the lifetime of the object.
class ScopedScriptedPrompts : public ScriptedPrompts {
 public:
  ScopedScriptedPrompts() { setPrompts(this); }
  ~ScopedScriptedPrompts() override { setPrompts(nullptr); }
  ScopedScriptedPrompts(const ScopedScriptedPrompts&) = delete;
  ScopedScriptedPrompts& operator=(const ScopedScriptedPrompts&) = delete;
};

}  // namespace tabulor
