// The desktop services besides the windows: folders, clock, clipboard, files; tests replace them.
#pragma once

#include <cstdint>

#include <QDateTime>
#include <QString>
#include <QStringList>

#include "platform/file_copy.h"

namespace tabulor {

// The desktop services the program uses besides its windows. The program talks to
// environment(); tests install their own (tests/support/test_environment.h).
//
// Threads: the window's thread, except copyFile, which the backup calls on the copying
// thread beside the window; it must touch none of the other services.
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
  // Copies a file's bytes as copyFileData does; called on the copying thread.
  virtual CopyOutcome copyFile(const std::filesystem::path& from, const std::filesystem::path& to,
                               const CopiedBytes& copied, const std::atomic<bool>& cancelled) = 0;
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
  CopyOutcome copyFile(const std::filesystem::path& from, const std::filesystem::path& to,
                       const CopiedBytes& copied, const std::atomic<bool>& cancelled) override;
};

// The program-folder rule, for a given executable folder and per-user data folder.
QString chooseProgramFolder(const QString& executableFolder, const QString& userDataFolder);

// Gives a program folder without a template list of its own the shipped default: the
// copy beside the executable (a build tree or portable copy), else the one installed
// under the executable's prefix (<prefix>/share/tabulor). The user's list is never
// replaced.
void provideDefaultTemplates(const QString& programFolder, const QString& executableFolder);

}  // namespace tabulor
