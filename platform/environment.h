#pragma once

#include <cstdint>

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace tabulor {

// The desktop services the program uses besides its windows. The program talks to
// environment(); tests install a TestEnvironment.
class Environment {
 public:
  virtual ~Environment() = default;

  // The folder that holds the program: the executable's folder when it is writable
  // (a portable copy), otherwise the per-user data folder, created on demand. An
  // installed program (its shared files in <prefix>/share/tabulor) always uses the
  // per-user folder, so that even root never writes into the system's folders. No
  // trailing separator.
  virtual QString programFolder() = 0;
  // Milliseconds since the system started.
  virtual std::int64_t tickCount() = 0;
  virtual QDateTime localDateTime() = 0;
  // The command-line arguments, program name excluded.
  virtual QStringList arguments() = 0;
  virtual QString clipboardText() = 0;
  virtual void setClipboardText(const QString& text) = 0;
  // Opens a file with the user's editor for its type; false when nothing handles it.
  virtual bool openWithEditor(const QString& path) = 0;
};

Environment& environment();
// Replaces the environment in force (nullptr restores the desktop one). The caller keeps
// ownership.
void setEnvironment(Environment* replacement);

// The environment of the running desktop.
class DesktopEnvironment : public Environment {
 public:
  QString programFolder() override;
  std::int64_t tickCount() override;
  QDateTime localDateTime() override;
  QStringList arguments() override;
  QString clipboardText() override;
  void setClipboardText(const QString& text) override;
  bool openWithEditor(const QString& path) override;
};

// The program-folder rule, for a given executable folder and per-user data folder.
QString chooseProgramFolder(const QString& executableFolder, const QString& userDataFolder);

// Gives a program folder without a template list of its own the shipped default: the
// copy beside the executable (a build tree or portable copy), else the one installed
// under the executable's prefix (<prefix>/share/tabulor). The user's list is never
// replaced.
void provideDefaultTemplates(const QString& programFolder, const QString& executableFolder);

// A fixed environment for tests: a given program folder, a clock that only moves when
// told, given arguments, an in-memory clipboard, and a record of opened files.
class TestEnvironment : public Environment {
 public:
  explicit TestEnvironment(QString folder) : folder_(std::move(folder)) {}

  QString programFolder() override { return folder_; }
  std::int64_t tickCount() override { return ticks_; }
  QDateTime localDateTime() override { return now_; }
  QStringList arguments() override { return arguments_; }
  QString clipboardText() override { return clipboard_; }
  void setClipboardText(const QString& text) override { clipboard_ = text; }
  bool openWithEditor(const QString& path) override {
    editedFiles_ << path;
    return true;
  }

  void setProgramFolder(const QString& folder) { folder_ = folder; }
  void setTickCount(std::int64_t ticks) { ticks_ = ticks; }
  void setLocalDateTime(const QDateTime& now) { now_ = now; }
  void setArguments(const QStringList& arguments) { arguments_ = arguments; }
  const QStringList& editedFiles() const { return editedFiles_; }

 private:
  QString folder_;
  std::int64_t ticks_ = 1000;
  QDateTime now_{QDate(2024, 5, 3), QTime(14, 5, 30)};
  QStringList arguments_;
  QString clipboard_;
  QStringList editedFiles_;
};

// Installs a TestEnvironment for the lifetime of the object.
class ScopedTestEnvironment : public TestEnvironment {
 public:
  explicit ScopedTestEnvironment(QString folder) : TestEnvironment(std::move(folder)) {
    setEnvironment(this);
  }
  ~ScopedTestEnvironment() override { setEnvironment(nullptr); }
  ScopedTestEnvironment(const ScopedTestEnvironment&) = delete;
  ScopedTestEnvironment& operator=(const ScopedTestEnvironment&) = delete;
};

}  // namespace tabulor
