// The spreadsheet desktop on Linux: xdg-mime and xdg-open, and the XDG folders.

#include "editing/export/spreadsheet_desktop.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

extern char** environ;

namespace tabulor {
namespace {

constexpr const char* kXlsxMimeType =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet";

bool onPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  if (!path) return false;
  std::string folders = path;
  for (std::size_t start = 0; start <= folders.size();) {
    std::size_t end = folders.find(':', start);
    if (end == std::string::npos) end = folders.size();
    const std::string folder = folders.substr(start, end - start);
    if (!folder.empty() && access((folder + "/" + program).c_str(), X_OK) == 0) return true;
    start = end + 1;
  }
  return false;
}

}  // namespace

bool xlsxHasDefaultApplication() {
  if (!onPath("xdg-open") || !onPath("xdg-mime")) return false;
  FILE* query =
      popen((std::string("xdg-mime query default ") + kXlsxMimeType + " 2>/dev/null").c_str(), "r");
  if (!query) return false;
  std::string answer;
  char buffer[256];
  while (std::fgets(buffer, sizeof buffer, query)) answer += buffer;
  pclose(query);
  return answer.find_first_not_of(" \t\r\n") != std::string::npos;
}

namespace {

std::filesystem::path fromEnvironment(const char* name) {
  const char* value = std::getenv(name);
  return value && *value ? std::filesystem::path(value) : std::filesystem::path();
}

}  // namespace

bool openWithDesktop(const std::filesystem::path& file) {
  // The shell is reaped at once; an xdg-open still running after two seconds is left to
  // finish on its own.
  const std::string path = file.string();
  const char* script =
      "xdg-open \"$1\" >/dev/null 2>&1 & opener=$!; "
      "for tick in 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20; do "
      "kill -0 $opener 2>/dev/null || { wait $opener; exit $?; }; sleep 0.1; "
      "done; exit 0";
  const char* argv[] = {"sh", "-c", script, "sh", path.c_str(), nullptr};
  pid_t shell = 0;
  if (posix_spawnp(&shell, "sh", nullptr, nullptr, const_cast<char**>(argv), environ) != 0)
    return false;
  int status = 0;
  if (waitpid(shell, &status, 0) != shell) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::filesystem::path workbookFolder() {
  std::filesystem::path base = fromEnvironment("XDG_RUNTIME_DIR");
  if (base.empty()) base = fromEnvironment("XDG_CACHE_HOME");
  if (base.empty() && !fromEnvironment("HOME").empty()) base = fromEnvironment("HOME") / ".cache";
  if (base.empty()) base = std::filesystem::temp_directory_path();
  return base / "tabulor";
}

std::tm localTime(std::time_t when) {
  std::tm local{};
  localtime_r(&when, &local);
  return local;
}

}  // namespace tabulor
