#pragma once

#include <filesystem>
#include <random>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

namespace tabulor::testing {

// A fresh folder per test, removed afterwards.
class TempDir {
 public:
  TempDir() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = "tabulor-test";
    if (info) name += std::string("-") + info->test_suite_name() + "-" + info->name();
    for (char& c : name)
      if (c == '/') c = '_';
    std::random_device random;
    do {
      path_ = std::filesystem::temp_directory_path() / (name + "-" + std::to_string(random()));
    } while (!std::filesystem::create_directory(path_));
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::string file(const std::string& name) const { return (path_ / name).string(); }
  // A file by its UTF-8 name, as every system spells it (a narrow name is read in the ANSI
  // code page on Windows).
  std::filesystem::path at(std::string_view utf8Name) const {
    return path_ / std::u8string(utf8Name.begin(), utf8Name.end());
  }

 private:
  std::filesystem::path path_;
};

}  // namespace tabulor::testing
