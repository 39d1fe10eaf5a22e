// The replacing file on Linux: mkstemp beside the target, then rename over it.

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "transfer/core/replacing_file.h"

namespace tabulor::transfer {

ReplacingFile::ReplacingFile(const std::filesystem::path& target) : target_(target) {
  std::string pattern =
      (target.parent_path() / (".~" + target.filename().string() + ".XXXXXX")).string();
  file_ = mkstemp(pattern.data());
  if (file_ >= 0) path_ = pattern;
}

ReplacingFile::~ReplacingFile() {
  if (file_ >= 0) close(static_cast<int>(file_));
  if (!path_.empty()) std::remove(path_.c_str());
}

bool ReplacingFile::isOpen() const { return file_ >= 0; }

bool ReplacingFile::write(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(static_cast<int>(file_), bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

bool ReplacingFile::install() {
  // A new file gets the permissions a file created by the user would get.
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(static_cast<int>(file_), 0666 & ~mask);
  const bool closed = close(static_cast<int>(file_)) == 0;
  file_ = -1;
  if (!closed || std::rename(path_.c_str(), target_.c_str()) != 0) return false;
  path_.clear();
  return true;
}

}  // namespace tabulor::transfer
