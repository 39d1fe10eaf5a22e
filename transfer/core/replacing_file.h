// A file written under a temporary name beside its target and put in its place only when whole.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace tabulor::transfer {

// A file being written: a temporary name beside the target, removed unless installed, so a
// failed or cancelled export leaves whatever was at the target untouched. One file per
// system (replacing_file_posix.cpp, replacing_file_windows.cpp).
class ReplacingFile {
 public:
  explicit ReplacingFile(const std::filesystem::path& target);
  ~ReplacingFile();
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  bool isOpen() const;
  bool write(std::string_view bytes);
  // Closes the file and gives it the target's name, replacing what was there.
  bool install();

 private:
  std::filesystem::path target_;
  std::filesystem::path path_;
  // A descriptor on Linux, a handle on Windows.
  std::intptr_t file_ = -1;
};

}  // namespace tabulor::transfer
