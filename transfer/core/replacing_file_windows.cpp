// The replacing file on Windows: a fresh name beside the target, then MoveFileExW over it.

#include <windows.h>

#include <algorithm>
#include <string>

#include "transfer/core/replacing_file.h"

namespace tabulor::transfer {
namespace {

HANDLE handleOf(std::intptr_t file) { return reinterpret_cast<HANDLE>(file); }

}  // namespace

ReplacingFile::ReplacingFile(const std::filesystem::path& target) : target_(target) {
  for (unsigned attempt = 0; attempt < 100 && file_ == -1; ++attempt) {
    const std::filesystem::path candidate =
        target.parent_path() /
        (L".~" + target.filename().wstring() + L"." + std::to_wstring(GetCurrentProcessId()) +
         L"." + std::to_wstring(GetTickCount64() + attempt));
    const HANDLE handle = CreateFileW(candidate.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
      file_ = reinterpret_cast<std::intptr_t>(handle);
      path_ = candidate;
    } else if (GetLastError() != ERROR_FILE_EXISTS) {
      return;
    }
  }
}

ReplacingFile::~ReplacingFile() {
  if (file_ != -1) CloseHandle(handleOf(file_));
  if (!path_.empty()) DeleteFileW(path_.c_str());
}

bool ReplacingFile::isOpen() const { return file_ != -1; }

bool ReplacingFile::write(std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD step = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
    DWORD written = 0;
    if (!WriteFile(handleOf(file_), bytes.data(), step, &written, nullptr) || written == 0)
      return false;
    bytes.remove_prefix(written);
  }
  return true;
}

bool ReplacingFile::install() {
  const bool closed = CloseHandle(handleOf(file_)) != 0;
  file_ = -1;
  if (!closed || !MoveFileExW(path_.c_str(), target_.c_str(),
                              MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return false;
  path_.clear();
  return true;
}

}  // namespace tabulor::transfer
