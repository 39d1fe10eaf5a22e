#include "platform/environment.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QStandardPaths>
#include <QUrl>

namespace tabulor {
namespace {

Environment* current = nullptr;

DesktopEnvironment& desktop() {
  static DesktopEnvironment instance;
  return instance;
}

}  // namespace

Environment& environment() { return current ? *current : desktop(); }

void setEnvironment(Environment* replacement) { current = replacement; }

QString chooseProgramFolder(const QString& executableFolder, const QString& userDataFolder) {
  const QFileInfo info(executableFolder);
  if (!executableFolder.isEmpty() && info.isDir() && info.isWritable())
    return QDir::cleanPath(executableFolder);
  QDir().mkpath(userDataFolder);
  return QDir::cleanPath(userDataFolder);
}

QString DesktopEnvironment::programFolder() {
  static const QString folder = [] {
    const QString executableFolder = QCoreApplication::applicationDirPath();
    const QString chosen = chooseProgramFolder(
        executableFolder, QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    // An installed copy keeps its files in the per-user folder: give it the default
    // template list shipped beside the program.
    const QString templates = QStringLiteral("/SQL模板.txt");
    if (chosen != QDir::cleanPath(executableFolder) && !QFileInfo::exists(chosen + templates))
      QFile::copy(executableFolder + templates, chosen + templates);
    return chosen;
  }();
  return folder;
}

std::int64_t DesktopEnvironment::tickCount() {
  static QElapsedTimer timer;
  if (!timer.isValid()) timer.start();
  return timer.elapsed();
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

bool DesktopEnvironment::openWithEditor(const QString& path) {
  return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

}  // namespace tabulor
