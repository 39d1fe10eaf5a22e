// Hostile files at the access layer: each ends in the expected result and the engine's
// message, never a crash, and leaves alone a file nothing was asked to change.
#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "reliability_files.h"
#include "sqlitedb/codepage.h"
#include "sqlitedb/sqlite_db.h"
#include "sqlitedb/sqlite_table.h"
#include "support/temp_dir.h"

namespace tabulor {
namespace {

namespace fs = std::filesystem;
using testing::fileBytes;
using testing::TempDir;
using Strings = std::vector<std::string>;

// What the program sees of a file: opening it, listing its tables, reading the first
// record of a table and, when asked, one write.
struct Observation {
  bool opened = false;
  Strings tables{};
  std::string listMessage{};
  bool read = false;
  std::string readMessage{};
  bool wrote = false;
  std::string writeMessage{};

  bool operator==(const Observation&) const = default;

  // One field a line, the tables last; the engine's messages hold no line breaks.
  std::string serialize() const {
    std::ostringstream out;
    out << opened << '\n'
        << listMessage << '\n'
        << read << '\n'
        << readMessage << '\n'
        << wrote << '\n'
        << writeMessage << '\n';
    for (const auto& table : tables) out << table << '\n';
    return out.str();
  }
  static Observation parse(const std::string& text) {
    std::istringstream in(text);
    std::string line;
    auto next = [&] { return std::getline(in, line) ? line : std::string(); };
    Observation seen;
    seen.opened = next() == "1";
    seen.listMessage = next();
    seen.read = next() == "1";
    seen.readMessage = next();
    seen.wrote = next() == "1";
    seen.writeMessage = next();
    while (std::getline(in, line)) seen.tables.push_back(line);
    return seen;
  }
};

void PrintTo(const Observation& seen, std::ostream* out) { *out << '\n' << seen.serialize(); }

Observation observe(const std::string& path, const std::string& table, bool write) {
  Observation seen;
  SqliteDB db;
  seen.opened = db.open(path);
  if (!seen.opened) return seen;
  seen.tables = db.listTables(true, true, false);
  seen.listMessage = db.errorText();
  if (!table.empty()) {
    SqliteTable cursor;
    FieldValue value = std::string();
    seen.read = cursor.open(table, db) && cursor.goTo(1) && cursor.readField(2, value);
    seen.readMessage = db.errorText();
  }
  if (write) {
    seen.wrote = db.execute("CREATE TABLE probe (x)");
    seen.writeMessage = db.errorText();
  }
  return seen;
}

// Root may write any file, so as root the observation is made by a child process that
// has given its rights up for those of "nobody"; other users make it themselves.
std::optional<Observation> observeWithoutPrivileges(const std::string& path,
                                                    const std::string& table, bool write) {
  if (geteuid() != 0) return observe(path, table, write);
  const passwd* nobody = getpwnam("nobody");
  int channel[2];
  if (!nobody || pipe(channel) != 0) return std::nullopt;
  const pid_t pid = fork();
  if (pid == 0) {
    close(channel[0]);
    if (setgroups(0, nullptr) != 0 || setgid(nobody->pw_gid) != 0 || setuid(nobody->pw_uid) != 0)
      _exit(1);
    const std::string text = observe(path, table, write).serialize();
    const bool sent =
        ::write(channel[1], text.data(), text.size()) == static_cast<ssize_t>(text.size());
    _exit(sent ? 0 : 1);
  }
  close(channel[1]);
  std::string text;
  char buffer[512];
  for (ssize_t got; (got = read(channel[0], buffer, sizeof buffer)) > 0;) text.append(buffer, got);
  close(channel[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
  return Observation::parse(text);
}

// Another process holding an exclusive transaction on a database until released.
class ExclusiveHolder {
 public:
  explicit ExclusiveHolder(const std::string& path) {
    int ready[2], release[2];
    if (pipe(ready) != 0 || pipe(release) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      close(ready[0]);
      close(release[1]);
      sqlite3* db = nullptr;
      char byte = 0;
      const bool locked =
          sqlite3_open(path.c_str(), &db) == SQLITE_OK &&
          sqlite3_exec(db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK;
      if (!locked || write(ready[1], "x", 1) != 1) _exit(1);
      if (read(release[0], &byte, 1) < 0) _exit(1);  // returns at end of file
      sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
      sqlite3_close(db);
      _exit(0);
    }
    close(ready[1]);
    close(release[0]);
    release_ = release[1];
    char byte = 0;
    locked_ = pid_ > 0 && read(ready[0], &byte, 1) == 1;
    close(ready[0]);
  }
  ~ExclusiveHolder() {
    close(release_);
    if (pid_ > 0) waitpid(pid_, nullptr, 0);
  }
  ExclusiveHolder(const ExclusiveHolder&) = delete;
  ExclusiveHolder& operator=(const ExclusiveHolder&) = delete;
  bool locked() const { return locked_; }

 private:
  pid_t pid_ = -1;
  int release_ = -1;
  bool locked_ = false;
};

// A small database of one table t(id, txt), several pages long.
std::string database(const TempDir& dir) {
  const std::string path = dir.file("data.db");
  testing::runSql(path,
                  "CREATE TABLE t (id INTEGER PRIMARY KEY, txt TEXT);"
                  "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000) "
                  "INSERT INTO t SELECT i, printf('%0100d', i) FROM n;");
  return path;
}

std::string randomBytes(const TempDir& dir) {
  std::mt19937 random(7);
  std::string bytes(8192, '\0');
  for (char& byte : bytes) byte = static_cast<char>(random() & 0xFF);
  testing::writeBytes(dir.file("random.db"), bytes);
  return dir.file("random.db");
}

std::string truncatedDatabase(const TempDir& dir) {
  const std::string path = database(dir);
  fs::resize_file(path, fs::file_size(path) / 2);
  return path;
}

std::string zeroLengthFile(const TempDir& dir) {
  testing::writeBytes(dir.file("empty.db"), "");
  return dir.file("empty.db");
}

std::string folder(const TempDir& dir) {
  fs::create_directory(dir.path() / "folder.db");
  return dir.file("folder.db");
}

std::string readOnlyDatabase(const TempDir& dir) {
  const std::string path = database(dir);
  const auto readable = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
  fs::permissions(path, readable);
  // Lets the unprivileged observer reach the file, but not write in the folder.
  fs::permissions(dir.path(),
                  readable | fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
  return path;
}

enum class Access { Alone, Unprivileged, HeldExclusively };

struct FileCase {
  const char* name;
  std::function<std::string(const TempDir&)> prepare;  // returns the path to open
  const char* table = "";                              // the table read, "" for none
  bool write = false;                                  // whether a write is tried
  Access access = Access::Alone;
  Observation expected{};
};

void PrintTo(const FileCase& c, std::ostream* out) { *out << c.name; }

const FileCase kFileCases[] = {
    {.name = "RandomBytes",
     .prepare = randomBytes,
     .write = true,
     .expected = {.opened = true,
                  .listMessage = "file is not a database",
                  .writeMessage = "file is not a database"}},
    {.name = "TruncatedDatabase",
     .prepare = truncatedDatabase,
     .table = "t",
     .expected = {.opened = true,
                  .listMessage = "database disk image is malformed",
                  .readMessage = "database disk image is malformed"}},
    // An empty file is an empty database; merely looking must not write its header.
    {.name = "ZeroLengthFile", .prepare = zeroLengthFile, .expected = {.opened = true}},
    {.name = "FolderAsPath", .prepare = folder, .write = true, .expected = {.opened = false}},
    // Each step waits out the connection's busy timeout, then fails.
    {.name = "LockedByAnotherProcess",
     .prepare = database,
     .table = "t",
     .write = true,
     .access = Access::HeldExclusively,
     .expected = {.opened = true,
                  .listMessage = "database is locked",
                  .readMessage = "database is locked",
                  .writeMessage = "database is locked"}},
    {.name = "ReadOnlyFile",
     .prepare = readOnlyDatabase,
     .table = "t",
     .write = true,
     .access = Access::Unprivileged,
     .expected = {.opened = true,
                  .tables = {"t"},
                  .read = true,
                  .writeMessage = "attempt to write a readonly database"}},
};

class BadFile : public ::testing::TestWithParam<FileCase> {};

TEST_P(BadFile, EndsInTheEngineMessageAndLeavesTheFileAlone) {
  ASSERT_TRUE(setProgramCodePage("UTF-8"));
  const FileCase& c = GetParam();
  TempDir dir;
  const std::string path = c.prepare(dir);
  const bool isFolder = fs::is_directory(path);
  const std::string before = isFolder ? "" : fileBytes(path);

  std::optional<Observation> seen;
  if (c.access == Access::Unprivileged) {
    seen = observeWithoutPrivileges(path, c.table, c.write);
    ASSERT_TRUE(seen) << "could not observe as an unprivileged user";
  } else if (c.access == Access::HeldExclusively) {
    ExclusiveHolder holder(path);
    ASSERT_TRUE(holder.locked());
    seen = observe(path, c.table, c.write);
  } else {
    seen = observe(path, c.table, c.write);
  }
  EXPECT_EQ(*seen, c.expected);

  if (isFolder) {
    EXPECT_TRUE(fs::is_directory(path) && fs::is_empty(path));
  } else {
    EXPECT_TRUE(fileBytes(path) == before) << "the file was changed";
  }
  for (const char* companion : {"-journal", "-wal", "-shm"})
    EXPECT_FALSE(fs::exists(path + companion)) << companion;
}

INSTANTIATE_TEST_SUITE_P(Cases, BadFile, ::testing::ValuesIn(kFileCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tabulor
