#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tabulor {

class SqliteDB;

// The engine's error state of a connection: primary result code and message.
struct EngineError {
  std::int32_t code = 0;
  std::string text;

  bool operator==(const EngineError&) const = default;
};

EngineError engineErrorOf(const SqliteDB& db);

// A failure the diagnostics keep reporting although the program made engine calls of its
// own afterwards: after a failed console execute the structure tree is refilled, and its
// successful calls would otherwise replace the failure the user just saw.
class KeptEngineError {
 public:
  // failure: read straight after the failing call; settled: what the connection reports
  // once the program's own follow-up calls are done.
  void keep(EngineError failure, EngineError settled);
  // The user did something else: the connection speaks for itself again.
  void forget() { kept_.reset(); }

  // The kept failure while the connection still reports what it reported when the failure
  // was kept (a later failure anywhere changes that); otherwise the connection's own state.
  EngineError lastError(const SqliteDB& db) const;

 private:
  struct Kept {
    EngineError failure;
    EngineError settled;
  };
  std::optional<Kept> kept_;
};

}  // namespace tabulor
