#pragma once

#include <deque>
#include <optional>
#include <vector>

#include <QPoint>
#include <QString>

#include "platform/message_flags.h"

class QFileDialog;
class QMenu;
class QWidget;

namespace tabulor {

// The answers of a message box, as the Windows button identifiers.
enum class Answer { Ok = 1, Cancel = 2, Yes = 6, No = 7 };

// An open or save file dialog. The filter is "description|pattern|description|pattern...",
// several patterns of one entry separated by ';'. The default extension (without the dot)
// is appended to a name typed without one.
struct FileDialogRequest {
  QString filter;
  QString defaultExtension;
  QString initialFolder;      // empty: the dialog's own choice
  QString title;              // empty: the dialog's own title
  bool fileMustExist = true;  // open mode only
  bool folderMustExist = true;
  bool confirmOverwrite = true;  // save mode only
};

// Every modal interaction with the user. The program talks to prompts(); tests
// install a ScriptedPrompts.
class Prompts {
 public:
  virtual ~Prompts() = default;

  // A title-less box shows "信息：".
  virtual Answer messageBox(const QString& text, const QString& title, int flags) = 0;
  // The text entered, or nullopt when the user cancelled. An empty title shows "请输入：".
  virtual std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                          const QString& initialText) = 0;
  // The chosen path, or nullopt when the user cancelled.
  virtual std::optional<QString> openFileName(const FileDialogRequest& request) = 0;
  virtual std::optional<QString> saveFileName(const FileDialogRequest& request) = 0;
  // Pops up a context menu at a screen position and returns when it closes.
  virtual void popupMenu(QMenu& menu, const QPoint& globalPosition) = 0;

  Answer messageBox(const QString& text, int flags = 0) { return messageBox(text, {}, flags); }
};

inline const QString kDefaultMessageTitle = QStringLiteral("信息：");
inline const QString kDefaultInputTitle = QStringLiteral("请输入：");

// The prompts in force; a QtPrompts unless replaced.
Prompts& prompts();
// Replaces the prompts in force (nullptr restores the Qt ones). The caller keeps ownership.
void setPrompts(Prompts* replacement);

// The real dialogs.
class QtPrompts : public Prompts {
 public:
  using Prompts::messageBox;
  Answer messageBox(const QString& text, const QString& title, int flags) override;
  std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                  const QString& initialText) override;
  std::optional<QString> openFileName(const FileDialogRequest& request) override;
  std::optional<QString> saveFileName(const FileDialogRequest& request) override;
  void popupMenu(QMenu& menu, const QPoint& globalPosition) override;
};

// Sets a file dialog up for a request: title, folder, filters (each shown as its
// description alone), mode, default extension and overwrite question.
void setUpFileDialog(QFileDialog& dialog, const FileDialogRequest& request, bool save);

// The Qt name filter list for a Windows filter string: "文本文件(*.txt)|*.txt" gives
// "文本文件(*.txt) (*.txt)".
QStringList qtNameFilters(const QString& windowsFilter);
// Appends ".ext" when the file name of path has no extension and ext is not empty.
QString withDefaultExtension(const QString& path, const QString& extension);

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
  void queueInput(const std::optional<QString>& text) {
    inputs_.push_back({text.has_value(), text.value_or(QString())});
  }
  void queueFile(const std::optional<QString>& path) {
    files_.push_back({path.has_value(), path.value_or(QString())});
  }

  const std::vector<Record>& records() const { return records_; }
  std::vector<Record> records(Kind kind) const;
  // The texts of the message boxes shown so far.
  QStringList messages() const;
  void clear() { records_.clear(); }

 private:
  std::vector<Record> records_;
  std::deque<Answer> answers_;
  // {given, text}: an entry that is not given answers with a cancel.
  std::deque<std::pair<bool, QString>> inputs_;
  std::deque<std::pair<bool, QString>> files_;
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
