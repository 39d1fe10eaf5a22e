#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>

#include "editing/export/export_grid.h"
#include "editing/export/spreadsheet_application.h"

namespace {

// A grid as the main window shows it: the header row, the "序号" column and 1000 records.
tabulor::TextTable mainGrid(int records, int columns) {
  tabulor::TextTable grid(records + 1, columns);
  grid.cell(0, 0) = "序号";
  for (int c = 1; c < columns; ++c) grid.cell(0, c) = "字段" + std::to_string(c);
  for (int r = 1; r <= records; ++r) {
    grid.cell(r, 0) = std::to_string(r);
    for (int c = 1; c < columns; ++c)
      grid.cell(r, c) = c % 3 == 0 ? "张三李四" : std::to_string(r * 1000 + c);
  }
  return grid;
}

using Clock = std::chrono::steady_clock;

double millisecondsBetween(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

// The whole export to a written .xlsx file; the opener only removes the file again.
// pause_ms is the longest stretch the window would go unpainted (between two calls of
// keepGoing, the hand-over excluded: the window runs it on another thread); handover_ms
// is that last step, writing the workbook.
void BM_ExportGridToXlsx(benchmark::State& state) {
  const tabulor::TextTable grid =
      mainGrid(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  std::string pattern = (std::filesystem::temp_directory_path() / "tabulor-bench-XXXXXX").string();
  const std::filesystem::path folder = mkdtemp(pattern.data());
  tabulor::ExportEnvironment environment;
  environment.createObject = [&](std::string_view, tabulor::HandoverReportPtr report) {
    return tabulor::createSpreadsheetApplication(
        {[] { return true; },
         [](const std::filesystem::path& file) { return std::filesystem::remove(file); }, folder},
        std::move(report));
  };
  double longestPause = 0;
  double handover = 0;
  Clock::time_point lastCall;
  environment.keepGoing = [&] {
    const Clock::time_point now = Clock::now();
    longestPause = std::max(longestPause, millisecondsBetween(lastCall, now));
    lastCall = now;
    return true;
  };
  environment.handOver = [&](const std::function<void()>& step) {
    const Clock::time_point begun = Clock::now();
    longestPause = std::max(longestPause, millisecondsBetween(lastCall, begun));
    step();
    handover = std::max(handover, millisecondsBetween(begun, Clock::now()));
  };
  for (auto _ : state) {
    lastCall = Clock::now();
    benchmark::DoNotOptimize(tabulor::exportGridToSpreadsheet(grid, environment));
  }
  state.counters["pause_ms"] = longestPause;
  state.counters["handover_ms"] = handover;
  std::filesystem::remove_all(folder);
  state.SetItemsProcessed(state.iterations() * grid.rowCount() * grid.columnCount());
}
BENCHMARK(BM_ExportGridToXlsx)->Args({1000, 50})->Args({104856, 40})->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
