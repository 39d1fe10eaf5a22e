// The backup copy made when a database is opened. Against `cp` of the same file in the
// same run: the program's copy of one large file. Then how soon a cancelled copy stops,
// and the longest the window goes without an event-loop turn while it opens a database
// of that size (backup included).
//
// TABULOR_BENCH_MB sets the size (2048 by default); TABULOR_BENCH_DIR the folder to work
// in (the temporary folder by default), e.g. a loop-mounted btrfs or XFS image to see
// what a copy-on-write clone gives. Every file made is removed afterwards.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "app/app_state.h"
#include "app/main_window.h"
#include "bench/offscreen_main.h"
#include "files/database_files.h"
#include "platform/environment.h"
#include "platform/file_copy.h"
#include "platform/qstring_conversion.h"
#include "sqlitedb/codepage.h"
#include "sqlitedb/sqlite_db.h"

namespace {

using namespace tabulor;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point from) {
  return std::chrono::duration<double, std::milli>(Clock::now() - from).count();
}

std::int64_t sizeMegabytes() {
  const char* given = std::getenv("TABULOR_BENCH_MB");
  return given ? std::atoll(given) : 2048;
}

const fs::path& benchFolder() {
  static const fs::path folder = [] {
    const char* given = std::getenv("TABULOR_BENCH_DIR");
    fs::path path = (given ? fs::path(given) : fs::temp_directory_path()) /
                    ("tabulor-bench-backup-" + std::to_string(getpid()));
    fs::create_directories(path / "program");
    return path;
  }();
  return folder;
}

// A database of one table of 1 MB blobs, written once for every benchmark: the copies
// read it from the page cache, as a file just used would be.
const fs::path& largeDatabase() {
  static const fs::path path = [] {
    const fs::path file = benchFolder() / "large.db";
    SqliteDB db;
    db.open(file.string(), true);
    db.execute(
        "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; CREATE TABLE t (b);"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
        std::to_string(sizeMegabytes()) + ") INSERT INTO t SELECT zeroblob(1048000) FROM n;");
    db.close();
    return file;
  }();
  return path;
}

// Starts each copy with no dirty pages of an earlier one still to be written.
void settle(const fs::path& copy) {
  std::error_code ignored;
  fs::remove(copy, ignored);
  ::sync();
}

// The means and the fastest of each (the fastest is the copy least disturbed by other
// work on the machine, whose disk traffic makes single copies vary by a factor of 3); ratio is the
// program's copy over cp's, of the means and of the fastest. The two take turns at going first.
void BM_CopyAgainstCp(benchmark::State& state) {
  const fs::path source = largeDatabase();
  const fs::path copy = benchFolder() / "copy.db";
  const std::string cp = "cp '" + source.string() + "' '" + copy.string() + "'";
  const std::atomic<bool> never = false;
  double ours = 0;
  double theirs = 0;
  double oursFastest = 1e300;
  double theirsFastest = 1e300;
  bool oursFirst = true;
  // The first copy after the database was written pays for settling it; neither side
  // should.
  settle(copy);
  copyFileData(
      source, copy, [](std::uint64_t) {}, never);
  for (auto _ : state) {
    double oursNow = 0;
    for (int turn = 0; turn < 2; ++turn) {
      settle(copy);
      const Clock::time_point begun = Clock::now();
      if (oursFirst == (turn == 0)) {
        if (copyFileData(
                source, copy, [](std::uint64_t) {}, never) != CopyOutcome::Copied)
          state.SkipWithError("the copy failed");
        oursNow = millisecondsSince(begun);
      } else {
        if (std::system(cp.c_str()) != 0) state.SkipWithError("cp failed");
        const double theirsNow = millisecondsSince(begun);
        theirs += theirsNow;
        theirsFastest = std::min(theirsFastest, theirsNow);
      }
    }
    ours += oursNow;
    oursFastest = std::min(oursFastest, oursNow);
    oursFirst = !oursFirst;
    state.SetIterationTime(oursNow / 1000);
  }
  settle(copy);
  const auto runs = static_cast<double>(state.iterations());
  state.counters["copy_ms"] = ours / runs;
  state.counters["cp_ms"] = theirs / runs;
  state.counters["ratio"] = ours / theirs;
  state.counters["copy_min_ms"] = oursFastest;
  state.counters["cp_min_ms"] = theirsFastest;
  state.counters["ratio_min"] = oursFastest / theirsFastest;
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(fs::file_size(source)));
}
BENCHMARK(BM_CopyAgainstCp)->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);

// cancel_ms: from setting the flag, 200 ms into the copy, to the copy's return.
void BM_CancelHeard(benchmark::State& state) {
  const fs::path source = largeDatabase();
  const fs::path copy = benchFolder() / "cancelled.db";
  double longest = 0;
  for (auto _ : state) {
    settle(copy);
    std::atomic<bool> cancelled = false;
    std::atomic<bool> finished = false;
    Clock::time_point stopped;
    std::thread worker([&] {
      copyFileData(
          source, copy, [](std::uint64_t) {}, cancelled);
      stopped = Clock::now();
      finished = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const bool early = finished;
    const Clock::time_point asked = Clock::now();
    cancelled = true;
    worker.join();
    if (early) {
      // A clone is over at once: there is nothing left to cancel.
      state.SetLabel("the copy ended before it was cancelled");
      continue;
    }
    if (fs::exists(copy)) state.SkipWithError("a cancelled copy left a file");
    longest = std::max(longest, std::chrono::duration<double, std::milli>(stopped - asked).count());
  }
  settle(copy);
  state.counters["cancel_ms"] = longest;
}
BENCHMARK(BM_CancelHeard)->Iterations(3)->Unit(benchmark::kMillisecond);

class BenchEnvironment : public DesktopEnvironment {
 public:
  QString programFolder() override {
    return QString::fromStdString((benchFolder() / "program").string());
  }
};

// gap_ms: the longest stretch without an event-loop turn (a zero-time timer firing)
// while the window opens the large database, its backup included; open_ms the whole open.
void BM_OpenLargeDatabase(benchmark::State& state) {
  const fs::path database = largeDatabase();
  BenchEnvironment environment;
  setEnvironment(&environment);
  AppState appState;
  MainWindow window(appState);
  window.onMainWindowCreated();
  double longestGap = 0;
  double open = 0;
  Clock::time_point lastTurn;
  QTimer turns;
  QObject::connect(&turns, &QTimer::timeout, [&] {
    longestGap = std::max(longestGap, millisecondsSince(lastTurn));
    lastTurn = Clock::now();
  });
  turns.start(0);
  for (auto _ : state) {
    state.PauseTiming();
    closeDatabase(window);
    fs::remove_all(benchFolder() / "program" / "数据库备份");
    ::sync();
    state.ResumeTiming();
    const Clock::time_point begun = Clock::now();
    lastTurn = begun;
    if (!openDatabaseFile(window, QString::fromStdString(database.string()), false))
      state.SkipWithError("the open failed");
    longestGap = std::max(longestGap, millisecondsSince(lastTurn));
    open = std::max(open, millisecondsSince(begun));
  }
  turns.stop();
  closeDatabase(window);
  fs::remove_all(benchFolder() / "program" / "数据库备份");
  setEnvironment(nullptr);
  state.counters["gap_ms"] = longestGap;
  state.counters["open_ms"] = open;
}
BENCHMARK(BM_OpenLargeDatabase)->Iterations(2)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return tabulor::bench::runOffscreenBenchmarks(argc, argv, benchFolder(), false);
}
