// SqliteDB, the program's connection to one database file, and SqliteRawDB, which converts nothing.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sqlitedb/engine.h"

namespace tabulor {

class SqliteDataset;
class SqliteTable;

// One column description for SqliteDB::createTable.
struct SqliteFieldInfo {
  std::string name;
  std::int32_t type = 0;  // type code, see sqlTypeForCode
  std::int32_t size = 0;  // maximum text length, used by the text codes only
};

// The SQL type text createTable writes for a type code; empty for "no type".
std::string sqlTypeForCode(std::int32_t type, std::int32_t size);

// The program's connection to one database file. All texts are program text;
// failures are reported by results only, the engine's message via errorText().
//
// Threads: the connection belongs to the thread that opened it, and one call on it runs at
// a time. Two exceptions, both inside a call of the owner: a long step (runLongStep) may
// run on a helper thread while the owner waits for it, and interrupt() may be called from
// any thread. While a statement runs, no other call starts on the connection: not from its
// progress handler (which may only answer and keep the window painted), not from the owner
// while a long step runs beside it. Debug builds check both. The connection is opened in
// serialized mode, and a long step stays on the owner's thread when the library was built
// without threads.
class SqliteDB {
 public:
  SqliteDB() = default;
  ~SqliteDB();
  SqliteDB(const SqliteDB&) = delete;
  SqliteDB& operator=(const SqliteDB&) = delete;

  // Closes any database first. An empty name or ":memory:" opens a new in-memory
  // database, which needs allowCreate; a file must exist and be readable unless
  // allowCreate. The connection is hardened and waits out a passing lock (about 2 s).
  bool open(const std::string& fileName = "", bool allowCreate = false);
  // False (and still open) while a statement of this connection is alive.
  bool close();
  bool isOpen() const { return connection_ != nullptr; }
  // How many calls this connection, its cursors and its result sets have made on the
  // engine (opening, closing, compiling, running); the diagnostics below do not count.
  // It tells whether the engine's error state may have changed since a given moment.
  std::uint64_t engineCalls() const { return engineCalls_; }

  // Runs every statement of the SQL; true when all of them ran.
  bool execute(const std::string& sql);
  // The first statement of the SQL as a result set, compiled but not yet run (requery runs
  // it); a statement that does not compile gives a result set that fails.
  std::unique_ptr<SqliteDataset> query(const std::string& sql);

  // The engine's primary result code and message of the last call (0 and "" when closed);
  // the message is cut at 199 bytes on a character boundary, and bytes of a damaged file it
  // quotes that are not UTF-8 are marked as \xNN rather than emptying it.
  std::int32_t errorCode() const;
  std::string errorText() const;
  std::int64_t lastInsertRowid() const;

  // The engine's check of the main file's pages and their links (PRAGMA quick_check), which
  // reads the whole file: the problems it finds, at most maxProblems, in its words as
  // errorText converts them; a file the engine refuses to read as damaged (a malformed
  // schema, not a database) gives that refusal. Empty when it finds nothing wrong; nullopt
  // when the check could not run (a lock, an interrupt): errorText() says why.
  std::optional<std::vector<std::string>> quickCheck(int maxProblems);

  // "BEGIN/COMMIT/ROLLBACK TRANSACTION " + name.
  bool beginTransaction(const std::string& name = "");
  bool commitTransaction(const std::string& name = "");
  bool rollbackTransaction(const std::string& name = "");
  // True while a transaction (the user's or a savepoint) is open on the connection.
  bool inTransaction() const;

  // While set, called every few thousand engine steps of a statement running on the open
  // connection; returning false interrupts the statement, which fails ("interrupted")
  // and undoes its work. An interrupted change inside a transaction undoes the whole
  // transaction, so only work outside one should be offered to be cancelled.
  // The handler stays with this object across close and open. It makes no call on the
  // connection.
  void setProgressHandler(std::function<bool()> handler);
  const std::function<bool()>& progressHandler() const { return progressHandler_; }
  // Some steps spend long inside one instruction of the engine, where no progress handler
  // is called (counting a big table's rows). Such a step is handed to the runner, which may
  // run it on another thread and keep the caller's thread answering meanwhile; without a
  // runner it runs at once. The progress handler may then be called on that thread.
  using StepRunner = std::function<void(const std::function<void()>& step)>;
  void setLongStepRunner(StepRunner runner) { longStepRunner_ = std::move(runner); }
  void runLongStep(const std::function<void()>& step) const;
  // True while a long step runs on another thread.
  bool stepRunsBeside() const { return stepBeside_; }
  // Stops the statement running on the connection, from any thread; it fails "interrupted".
  void interrupt() const;

  // The reads that show the truth after a change (the row ids after a write, the tree
  // after a command) must run in full: while one of these lives, stoppable() is false and
  // the progress handler is not to stop a statement.
  class ProgramReads {
   public:
    explicit ProgramReads(const SqliteDB& db) : db_(db) { ++db_.programReads_; }
    ~ProgramReads() { --db_.programReads_; }
    ProgramReads(const ProgramReads&) = delete;
    ProgramReads& operator=(const ProgramReads&) = delete;

   private:
    const SqliteDB& db_;
  };
  bool stoppable() const { return programReads_ == 0; }

  // A table or view of the main database whose name matches as LIKE does (no case).
  bool tableExists(const std::string& name);
  // The names of the main (or temporary) database's tables and/or views, by name; empty
  // when closed or when the catalogue cannot be read.
  std::vector<std::string> listTables(bool withTables, bool withViews, bool temporary);
  // The stored CREATE statement of a table or view, main before temporary; empty if none.
  std::string tableSql(const std::string& name);

  // CREATE TABLE with the named fields (unnamed ones skipped); false when a definition or
  // the statement grows past the designed limits.
  bool createTable(const std::string& table, const std::vector<SqliteFieldInfo>& fields);

  // Copies the open database, consistently, into destinationFile (program text)
  // through the engine's online backup from a second connection, in steps that call the
  // progress handler; false when it stops the copy.
  bool backupTo(const std::string& destinationFile);

 private:
  friend class SqliteTable;
  friend class SqliteDataset;
  friend class BulkInsert;
  friend class RowReader;

  void release();
  void installProgressHandler();
  std::vector<std::string> catalogueColumn(const std::string& sql);
  // Every call on the engine passes here, so the threading rule is checked here.
  void countEngineCall() const;

  engine::Connection connection_;
  std::string utf8FileName_;  // empty for an in-memory database
  // Changes with every open, so borrowers can tell a reopened connection from theirs.
  std::uint64_t generation_ = 0;
  // Moves on with every statement run here that may change data, and with every
  // rollback: a cursor compares it to know whether its row-id snapshot still holds.
  std::uint64_t changeTicket_ = 0;
  std::function<bool()> progressHandler_;
  StepRunner longStepRunner_;
  mutable std::uint64_t engineCalls_ = 0;
  mutable int programReads_ = 0;
  // Set while the engine is inside the progress handler, and while a long step runs on
  // another thread; both may be read on that thread.
  mutable std::atomic<bool> insideHandler_ = false;
  mutable std::atomic<bool> stepBeside_ = false;
};

// A connection that hands file names and SQL to the engine unconverted.
class SqliteRawDB {
 public:
  SqliteRawDB() = default;
  SqliteRawDB(const SqliteRawDB&) = delete;
  SqliteRawDB& operator=(const SqliteRawDB&) = delete;

  // Closes any database first. An empty name or ":memory:" opens a new in-memory
  // database, which needs allowCreate; a file must exist and be readable unless
  // allowCreate. The connection is hardened and waits out a passing lock (about 2 s).
  bool open(const std::string& fileName = "", bool allowCreate = false);
  // False (and still open) while a statement of this connection is alive.
  bool close();
  bool isOpen() const { return connection_ != nullptr; }
  bool execute(const std::string& sql);
  std::string errorText() const;

 private:
  engine::Connection connection_;
};

}  // namespace tabulor
