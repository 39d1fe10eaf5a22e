// The desktop services besides the windows: folders, clock, clipboard, files; tests replace them.

#include "platform/environment.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QStandardPaths>

namespace tabulor {
namespace {

Environment* current = nullptr;

// Where an installed program's shared files lie, from its executable's folder.
const QString kInstalledDataFolder = QStringLiteral("/../share/tabulor");

DesktopEnvironment& desktop() {
  static DesktopEnvironment instance;
  return instance;
}

}  // namespace

Environment& environment() { return current ? *current : desktop(); }

void setEnvironment(Environment* replacement) { current = replacement; }

QString chooseProgramFolder(const QString& executableFolder, const QString& userDataFolder) {
  const QFileInfo info(executableFolder);
  const bool installed = QFileInfo(executableFolder + kInstalledDataFolder).isDir();
  if (!executableFolder.isEmpty() && info.isDir() && info.isWritable() && !installed)
    return QDir::cleanPath(executableFolder);
  QDir().mkpath(userDataFolder);
  return QDir::cleanPath(userDataFolder);
}

void provideDefaultTemplates(const QString& programFolder, const QString& executableFolder) {
  const QString name = QStringLiteral("/SQL模板.txt");
  if (QFileInfo::exists(programFolder + name)) return;
  for (const QString& source :
       {executableFolder + name, executableFolder + kInstalledDataFolder + name}) {
    if (QFileInfo(source).isFile()) {
      QFile::copy(source, programFolder + name);
      return;
    }
  }
}

QString DesktopEnvironment::programFolder() {
  static const QString folder = [] {
    const QString executableFolder = QCoreApplication::applicationDirPath();
    const QString chosen = chooseProgramFolder(
        executableFolder, QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    provideDefaultTemplates(chosen, executableFolder);
    return chosen;
  }();
  return folder;
}

QDateTime DesktopEnvironment::localDateTime() { return QDateTime::currentDateTime(); }

QStringList DesktopEnvironment::arguments() {
  QStringList arguments = QCoreApplication::arguments();
  if (!arguments.isEmpty()) arguments.removeFirst();
  return arguments;
}

QString DesktopEnvironment::clipboardText() { return QGuiApplication::clipboard()->text(); }

void DesktopEnvironment::setClipboardText(const QString& text) {
  QGuiApplication::clipboard()->setText(text);
}

CopyOutcome DesktopEnvironment::copyFile(const std::filesystem::path& from,
                                         const std::filesystem::path& to, const CopiedBytes& copied,
                                         const std::atomic<bool>& cancelled) {
  return copyFileData(from, to, copied, cancelled);
}

}  // namespace tabulor
