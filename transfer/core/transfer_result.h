// What an import or an export reports back, and how it follows its progress.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "transfer/core/csv_reader.h"

namespace tabulor::transfer {

// Called now and then with the work done so far and its total (0: not known); false when
// the user wants the work stopped.
using TransferProgress = std::function<bool(std::int64_t done, std::int64_t total)>;

struct TransferResult {
  enum class Status { Done, Failed, Cancelled };
  Status status = Status::Done;
  std::int64_t rows = 0;  // rows imported or written
  CsvFault fault;         // when Failed: the line (0: none in particular) and the reason

  static TransferResult failed(std::int64_t line, std::string reason) {
    return {Status::Failed, 0, {line, std::move(reason)}};
  }
};

}  // namespace tabulor::transfer
