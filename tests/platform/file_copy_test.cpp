// Copying a file's bytes: every byte, a replaced target, failures and 取消 leave nothing.

#include "platform/file_copy.h"

#ifdef __linux__
#include <sys/stat.h>
#endif

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace tabulor {
namespace {

namespace fs = std::filesystem;

std::string bytesOf(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Bytes that differ from one megabyte to the next, so a chunk copied twice or skipped shows.
std::string patterned(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + i / 1048573) & 0xFF);
  return bytes;
}

void write(const fs::path& file, const std::string& bytes) {
  std::ofstream(file, std::ios::binary) << bytes;
}

struct Copy {
  CopyOutcome outcome;
  std::uint64_t reported = 0;
  int reports = 0;
};

// Copies with a cancel flag that is set after the given number of progress reports
// (never when negative).
Copy copyCancellingAfter(const fs::path& from, const fs::path& to, int reports = -1) {
  std::atomic<bool> cancelled = reports == 0;
  Copy copy{};
  copy.outcome = copyFileData(
      from, to,
      [&](std::uint64_t bytes) {
        copy.reported += bytes;
        if (++copy.reports == reports) cancelled = true;
      },
      cancelled);
  return copy;
}

TEST(CopyFileData, CopiesEveryByteAndReportsThemWhateverTheSize) {
  testing::TempDir dir;
  // Empty, one byte, within one step of the copy, several steps and a ragged end.
  for (const std::size_t size :
       {std::size_t{0}, std::size_t{1}, std::size_t{3} << 20, (std::size_t{19} << 20) + 7}) {
    SCOPED_TRACE(size);
    const std::string bytes = patterned(size);
    write(dir.path() / "from", bytes);
    const Copy copy = copyCancellingAfter(dir.path() / "from", dir.path() / "to");
    EXPECT_EQ(copy.outcome, CopyOutcome::Copied);
    EXPECT_TRUE(bytesOf(dir.path() / "to") == bytes);
    EXPECT_EQ(copy.reported, size);
  }
}

// A longer file of the same name must not keep its tail, nor a file linked to the name
// get the new bytes.
TEST(CopyFileData, ReplacesAFileAtTheTargetWithoutWritingThroughItsName) {
  testing::TempDir dir;
  write(dir.path() / "from", "new");
  write(dir.path() / "other", "an older and much longer file");
  fs::create_hard_link(dir.path() / "other", dir.path() / "to");
  EXPECT_EQ(copyCancellingAfter(dir.path() / "from", dir.path() / "to").outcome,
            CopyOutcome::Copied);
  EXPECT_EQ(bytesOf(dir.path() / "to"), "new");
  EXPECT_EQ(bytesOf(dir.path() / "other"), "an older and much longer file");
}

// The process file system reports no size and takes no part in copies inside the kernel:
// the copy reads and writes instead.
#ifdef __linux__
// A file the kernel reports as empty: only reading it shows its bytes.
TEST(CopyFileData, ReadsAndWritesWhereTheKernelCannotCopy) {
  testing::TempDir dir;
  const fs::path source = "/proc/self/cmdline";
  ASSERT_EQ(fs::file_size(source), 0u);
  const std::string bytes = bytesOf(source);
  ASSERT_FALSE(bytes.empty());
  const Copy copy = copyCancellingAfter(source, dir.path() / "to");
  EXPECT_EQ(copy.outcome, CopyOutcome::Copied);
  EXPECT_EQ(bytesOf(dir.path() / "to"), bytes);
  EXPECT_EQ(copy.reported, bytes.size());
}
#endif

TEST(CopyFileData, FailsOnWhatIsNotARegularFileAndLeavesNothing) {
  testing::TempDir dir;
  write(dir.path() / "file", "bytes");
  fs::create_directory(dir.path() / "folder");
  struct Case {
    const char* what;
    fs::path from;
    fs::path to;
  };
  std::vector<Case> cases = {
      {"missing source", dir.path() / "missing", dir.path() / "to"},
      {"folder", dir.path() / "folder", dir.path() / "to"},
      {"missing target folder", dir.path() / "file", dir.path() / "no" / "to"},
  };
#ifdef __linux__
  // A named pipe would make a blocking open wait for a writer for ever.
  ASSERT_EQ(mkfifo((dir.path() / "pipe").c_str(), 0600), 0);
  cases.push_back({"named pipe", dir.path() / "pipe", dir.path() / "to"});
#endif
  for (const Case& c : cases) {
    EXPECT_EQ(copyCancellingAfter(c.from, c.to).outcome, CopyOutcome::Failed) << c.what;
    EXPECT_FALSE(fs::exists(c.to)) << c.what;
  }
}

TEST(CopyFileData, StopsWhenCancelledAndLeavesNothing) {
  testing::TempDir dir;
  const std::size_t size = std::size_t{40} << 20;
  write(dir.path() / "from", patterned(size));
  for (const int reports : {0, 1}) {
    SCOPED_TRACE(reports);
    const Copy copy = copyCancellingAfter(dir.path() / "from", dir.path() / "to", reports);
    // A clone that shares the blocks is one step, over before a cancel can come.
    if (reports == 1 && copy.outcome == CopyOutcome::Copied && copy.reported == size) continue;
    EXPECT_EQ(copy.outcome, CopyOutcome::Cancelled);
    EXPECT_EQ(copy.reports, reports) << "no step after the cancel";
    EXPECT_LT(copy.reported, size);
    EXPECT_FALSE(fs::exists(dir.path() / "to"));
  }
}

}  // namespace
}  // namespace tabulor
