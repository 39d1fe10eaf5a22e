#pragma once

#include <benchmark/benchmark.h>

#include <QApplication>
#include <filesystem>
#include <system_error>

#include "sqlitedb/codepage.h"

namespace tabulor::bench {

// Runs the registered benchmarks in an offscreen application in the UTF-8 code page, then
// removes the folder they built their files in unless it is to be kept.
inline int runOffscreenBenchmarks(int argc, char** argv, const std::filesystem::path& folder,
                                  bool keepFolder) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  setProgramCodePage("UTF-8");
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (!keepFolder) {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }
  return 0;
}

}  // namespace tabulor::bench
