// The desktop services that differ between the systems, on Linux: the boot-time clock, the
// desktop's opener, and paths in the bytes of the locale.

#include <time.h>

#include <QDesktopServices>
#include <QFile>
#include <QUrl>

#include "platform/environment.h"
#include "platform/qstring_conversion.h"

namespace tabulor {

// The boot-time clock keeps counting while the machine sleeps, as a tick count does.
std::int64_t DesktopEnvironment::tickCount() {
  timespec now{};
  clock_gettime(CLOCK_BOOTTIME, &now);
  return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

bool DesktopEnvironment::openWithEditor(const QString& path) {
  return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

std::filesystem::path nativePath(const QString& path) {
  return std::filesystem::path(QFile::encodeName(path).toStdString());
}

}  // namespace tabulor
