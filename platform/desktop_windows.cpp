// The desktop services that differ between the systems, on Windows: the tick count, the
// shell's "edit" verb, and paths in UTF-16.

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <QDir>

#include "platform/environment.h"
#include "platform/qstring_conversion.h"

namespace tabulor {

std::int64_t DesktopEnvironment::tickCount() { return static_cast<std::int64_t>(GetTickCount64()); }

bool DesktopEnvironment::openWithEditor(const QString& path) {
  const std::wstring file = QDir::toNativeSeparators(path).toStdWString();
  // Values above 32 mean the editor was started.
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(nullptr, L"edit", file.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  return result > 32;
}

std::filesystem::path nativePath(const QString& path) {
  return std::filesystem::path(QDir::toNativeSeparators(path).toStdWString());
}

}  // namespace tabulor
