#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <filesystem>
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

// The whole export to a written .xlsx file; the opener only removes the file again.
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
  for (auto _ : state)
    benchmark::DoNotOptimize(tabulor::exportGridToSpreadsheet(grid, environment));
  std::filesystem::remove_all(folder);
  state.SetItemsProcessed(state.iterations() * grid.rowCount() * grid.columnCount());
}
BENCHMARK(BM_ExportGridToXlsx)->Args({1000, 50})->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
