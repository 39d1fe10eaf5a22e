// The spreadsheet desktop on Windows: the shell's association for .xlsx, its "open" verb, and
// the user's temporary folder.

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>
#include <shlwapi.h>

#include "editing/export/spreadsheet_desktop.h"

namespace tabulor {

bool xlsxHasDefaultApplication() {
  DWORD length = 0;
  const HRESULT found = AssocQueryStringW(ASSOCF_INIT_IGNOREUNKNOWN, ASSOCSTR_EXECUTABLE, L".xlsx",
                                          L"open", nullptr, &length);
  return (found == S_OK || found == S_FALSE) && length > 0;
}

bool openWithDesktop(const std::filesystem::path& file) {
  // Values above 32 mean the application was started.
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(nullptr, L"open", file.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  return result > 32;
}

std::filesystem::path workbookFolder() {
  wchar_t folder[MAX_PATH + 1];
  const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
  const std::filesystem::path base =
      length > 0 && length <= MAX_PATH ? std::filesystem::path(folder) : std::filesystem::path();
  return (base.empty() ? std::filesystem::temp_directory_path() : base) / L"tabulor";
}

std::tm localTime(std::time_t when) {
  std::tm local{};
  localtime_s(&local, &when);
  return local;
}

}  // namespace tabulor
