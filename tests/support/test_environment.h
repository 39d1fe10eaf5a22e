#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <utility>

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QTime>

#include "platform/environment.h"

namespace tabulor {

// A fixed environment for tests: a given program folder, a clock that only moves when
// told (also by work on another thread), given arguments, an in-memory clipboard, a
// record of opened files, and the real file copy unless a test gives its own.
class TestEnvironment : public Environment {
 public:
  explicit TestEnvironment(QString folder) : folder_(std::move(folder)) {}

  QString programFolder() override { return folder_; }
  std::int64_t tickCount() override { return ticks_ += tickStep_; }
  QDateTime localDateTime() override { return now_; }
  QStringList arguments() override { return arguments_; }
  QString clipboardText() override { return clipboard_; }
  void setClipboardText(const QString& text) override { clipboard_ = text; }
  bool openWithEditor(const QString& path) override {
    editedFiles_ << path;
    return true;
  }
  CopyOutcome copyFile(const std::filesystem::path& from, const std::filesystem::path& to,
                       const CopiedBytes& copied, const std::atomic<bool>& cancelled) override {
    return fileCopy_ ? fileCopy_(from, to, copied, cancelled)
                     : copyFileData(from, to, copied, cancelled);
  }

  void setProgramFolder(const QString& folder) { folder_ = folder; }
  void setTickCount(std::int64_t ticks) { ticks_ = ticks; }
  // From here on every reading of the clock moves it on by step milliseconds, as if the
  // work between two readings took that long.
  void setTickStep(std::int64_t step) { tickStep_ = step; }
  void setLocalDateTime(const QDateTime& now) { now_ = now; }
  void setArguments(const QStringList& arguments) { arguments_ = arguments; }
  const QStringList& editedFiles() const { return editedFiles_; }
  using FileCopy =
      std::function<CopyOutcome(const std::filesystem::path&, const std::filesystem::path&,
                                const CopiedBytes&, const std::atomic<bool>&)>;
  void setFileCopy(FileCopy copy) { fileCopy_ = std::move(copy); }

 private:
  QString folder_;
  std::atomic<std::int64_t> ticks_ = 1000;
  std::int64_t tickStep_ = 0;
  QDateTime now_{QDate(2024, 5, 3), QTime(14, 5, 30)};
  QStringList arguments_;
  QString clipboard_;
  QStringList editedFiles_;
  FileCopy fileCopy_;
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
