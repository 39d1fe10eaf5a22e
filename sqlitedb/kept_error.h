// A connection's engine error, and keeping a failure for the diagnostics past later calls.
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
  // failure: read straight after the failing call; kept once the program's own follow-up
  // calls on db are done.
  void keep(EngineError failure, const SqliteDB& db);

  // The kept failure until the connection makes its next engine call of any kind;
  // from then on the connection's own state.
  EngineError lastError(const SqliteDB& db) const;

 private:
  struct Kept {
    EngineError failure;
    std::uint64_t engineCalls = 0;
  };
  std::optional<Kept> kept_;
};

}  // namespace tabulor
