// Copying on Linux: by clone, else in the kernel, else through a buffer; a failed copy leaves
// no file.

#include "platform/file_copy.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>
#include <vector>

namespace tabulor {
namespace {

// Large enough that the system calls cost nothing beside the copying, small enough that a
// cancel is heard within milliseconds.
constexpr std::size_t kStepBytes = std::size_t{8} << 20;
constexpr std::size_t kBufferBytes = std::size_t{1} << 20;

class Descriptor {
 public:
  explicit Descriptor(int descriptor) : descriptor_(descriptor) {}
  ~Descriptor() {
    if (descriptor_ >= 0) ::close(descriptor_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;

  int get() const { return descriptor_; }
  bool isOpen() const { return descriptor_ >= 0; }
  // A failed close can be a write that never reached the disk.
  bool close() { return ::close(std::exchange(descriptor_, -1)) == 0; }

 private:
  int descriptor_;
};

enum class Step { Done, Failed, Cancelled, NotOffered };

Step copyInKernel(int in, int out, const CopiedBytes& copied, const std::atomic<bool>& cancelled) {
  bool started = false;
  for (;;) {
    if (cancelled) return Step::Cancelled;
    const ssize_t bytes = ::copy_file_range(in, nullptr, out, nullptr, kStepBytes, 0);
    if (bytes < 0 && errno == EINTR) continue;
    // Refused before anything moved (older kernels across file systems, special file
    // systems that report no size): the descriptors still stand at the start.
    if (bytes < 0)
      return !started &&
                     (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP)
                 ? Step::NotOffered
                 : Step::Failed;
    if (bytes == 0) return started ? Step::Done : Step::NotOffered;
    started = true;
    copied(static_cast<std::uint64_t>(bytes));
  }
}

Step copyThroughBuffer(int in, int out, const CopiedBytes& copied,
                       const std::atomic<bool>& cancelled) {
  std::vector<char> buffer(kBufferBytes);
  for (;;) {
    if (cancelled) return Step::Cancelled;
    const ssize_t bytes = ::read(in, buffer.data(), buffer.size());
    if (bytes < 0 && errno == EINTR) continue;
    if (bytes < 0) return Step::Failed;
    if (bytes == 0) return Step::Done;
    for (ssize_t written = 0; written < bytes;) {
      const ssize_t step = ::write(out, buffer.data() + written, bytes - written);
      if (step < 0 && errno == EINTR) continue;
      if (step < 0) return Step::Failed;
      written += step;
    }
    copied(static_cast<std::uint64_t>(bytes));
  }
}

Step copyOpenFiles(int in, int out, std::uint64_t size, const CopiedBytes& copied,
                   const std::atomic<bool>& cancelled) {
  if (cancelled) return Step::Cancelled;
  if (::ioctl(out, FICLONE, in) == 0) {
    copied(size);
    return Step::Done;
  }
  // Read ahead generously: the whole file is read once, front to back.
  ::posix_fadvise(in, 0, 0, POSIX_FADV_SEQUENTIAL);
  const Step step = copyInKernel(in, out, copied, cancelled);
  return step == Step::NotOffered ? copyThroughBuffer(in, out, copied, cancelled) : step;
}

}  // namespace

CopyOutcome copyFileData(const std::filesystem::path& from, const std::filesystem::path& to,
                         const CopiedBytes& copied, const std::atomic<bool>& cancelled) {
  // Not blocking: opening a named pipe would wait for a writer for ever.
  Descriptor in(::open(from.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  struct stat source {};
  if (!in.isOpen() || ::fstat(in.get(), &source) != 0 || !S_ISREG(source.st_mode))
    return CopyOutcome::Failed;
  // A fresh file rather than truncating in place: a name linked elsewhere keeps its content.
  ::unlink(to.c_str());
  Descriptor out(
      ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, source.st_mode & 0777));
  if (!out.isOpen()) return CopyOutcome::Failed;
  const Step step = copyOpenFiles(in.get(), out.get(), static_cast<std::uint64_t>(source.st_size),
                                  copied, cancelled);
  const bool closed = out.close();
  if (step == Step::Done && closed) return CopyOutcome::Copied;
  ::unlink(to.c_str());
  return step == Step::Cancelled ? CopyOutcome::Cancelled : CopyOutcome::Failed;
}

}  // namespace tabulor
