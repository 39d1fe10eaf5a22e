// Where the in-process spreadsheet application meets the desktop: probe, folder, opener.
#pragma once

#include <ctime>
#include <filesystem>
#include <functional>

namespace tabulor {

// Where the in-process spreadsheet application meets the desktop: whether some
// application opens .xlsx files, the folder finished workbooks are written to, and how
// one is handed to that application. Tests replace the probe and the opener.
struct SpreadsheetDesktop {
  std::function<bool()> applicationAvailable;
  // False when the workbook could not be handed to the application.
  std::function<bool(const std::filesystem::path&)> open;
  std::filesystem::path folder;
};

// The user's desktop: the three pieces below.
SpreadsheetDesktop systemSpreadsheetDesktop();

// Each system's side (spreadsheet_desktop_linux.cpp, spreadsheet_desktop_windows.cpp).
//
// Whether an application is registered for .xlsx: on Linux xdg-mime names a default one and
// xdg-open exists; on Windows the shell has a command for the extension.
bool xlsxHasDefaultApplication();
// Hands a file to the desktop's application for it: on Linux with xdg-open (found on PATH),
// which may stay until that application ends, so it is only given a moment: false when it
// fails within it (no application, a file it cannot open), true when it succeeds or is still
// busy. On Windows with the shell's "open" verb.
bool openWithDesktop(const std::filesystem::path& file);
// On Linux "$XDG_RUNTIME_DIR/tabulor", else "$XDG_CACHE_HOME/tabulor" (or ~/.cache/tabulor);
// on Windows "tabulor" in the user's temporary folder.
std::filesystem::path workbookFolder();
// The local calendar time of a moment.
std::tm localTime(std::time_t when);

// A new file name in the folder that carries the given local time, such as
// 导出表格_20240503_140530.xlsx, with a counter added when that name is taken.
std::filesystem::path newWorkbookPath(const std::filesystem::path& folder, std::time_t when);

}  // namespace tabulor
