// Message boxes, input boxes, file dialogs and context menus, behind one interface tests replace.
#pragma once

#include <optional>
#include <string_view>

#include <QPoint>
#include <QString>
#include <QStringList>

#include "report/message_flags.h"
#include "report/outcome.h"

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
// install their own (tests/support/scripted_prompts.h).
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

// While one lives, the failure reports of cancelled work are held back: an error or
// warning box is not shown, and a question is answered as its safest button would (No or
// Cancel) without being asked. Information boxes and the other prompts are unaffected.
class WithheldFailureReports {
 public:
  WithheldFailureReports();
  ~WithheldFailureReports();
  WithheldFailureReports(const WithheldFailureReports&) = delete;
  WithheldFailureReports& operator=(const WithheldFailureReports&) = delete;
};

// The window a dialog opens over: the active one, but never the busy dialog, which may
// go while the dialog is open; null when no window is active.
QWidget* dialogParent();

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

// Shows a notice (report/notice.h) with the prompts in force.
void showNotice(const Notice& notice);

// The input box and the question box of the prompts in force, in program text, for the
// window-free commands that ask (report/outcome.h).
AskText askTextWithPrompts();
AskYes askYesWithPrompts();

// Writes the bytes to the file through a QSaveFile, so a failed write leaves the old file
// whole, and tells the user: "写文件失败！", or "已成功写入文件 " and the path. No bytes (a text
// the code page cannot hold) fails the same way. True when written.
bool writeFileTellingUser(const QString& path, std::optional<std::string_view> bytes);

// Sets a file dialog up for a request: title, folder, filters (each shown as its
// description alone), mode, default extension and overwrite question.
void setUpFileDialog(QFileDialog& dialog, const FileDialogRequest& request, bool save);

// The Qt name filter list for a Windows filter string: "文本文件(*.txt)|*.txt" gives
// "文本文件(*.txt) (*.txt)".
QStringList qtNameFilters(const QString& windowsFilter);
// Appends ".ext" when the file name of path has no extension and ext is not empty.
QString withDefaultExtension(const QString& path, const QString& extension);

}  // namespace tabulor
