#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace tabulor::bench {

// Kept between runs when TABULOR_BENCH_FOLDER names it (large databases take minutes to
// make); otherwise a fresh temporary folder, removed at the end.
inline bool benchFolderIsKept() { return std::getenv("TABULOR_BENCH_FOLDER") != nullptr; }

// The folder this benchmark program builds its files in; name tells programs' temporary
// folders apart.
inline const std::filesystem::path& benchFolder(const std::string& name) {
  static const std::filesystem::path folder = [&name] {
    const char* kept = std::getenv("TABULOR_BENCH_FOLDER");
    std::filesystem::path path = kept ? std::filesystem::path(kept)
                                      : std::filesystem::temp_directory_path() /
                                            ("tabulor-bench-" + name + std::to_string(getpid()));
    std::filesystem::create_directories(path);
    return path;
  }();
  return folder;
}

// A copy of source in folder under name, in place of any earlier one: each measured run
// starts from the same file.
inline std::string freshCopy(const std::filesystem::path& source,
                             const std::filesystem::path& folder, const std::string& name) {
  const std::filesystem::path copy = folder / name;
  std::filesystem::remove(copy);
  std::filesystem::copy_file(source, copy);
  return copy.string();
}

}  // namespace tabulor::bench
