// What a command leaves for its window to do, how it asks the user, and how a step fails.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "report/notice.h"

namespace tabulor {

// How a step that can fail reports it: it returns std::optional<Failure>, none when the
// step took place. A plain std::optional<T> is a value that may be missing, never a failure.
struct Failure {
  std::string reason;  // program text, often the engine's own words

  bool operator==(const Failure&) const = default;
};

struct GridCell {
  int row = 0;
  int column = 0;

  bool operator==(const GridCell&) const = default;
};

// A box with the default title.
inline Notice plainNotice(std::string text, int flags) { return {std::move(text), {}, flags}; }

// What a command leaves for its window to do once it has returned. The commands' logic
// returns it without touching a window; MainWindow::applyOutcome carries it out.
struct Outcome {
  enum class Result { Done, Failed, Cancelled };
  Result result = Result::Done;
  std::optional<Notice> notice;  // none when there is nothing to say, as after a cancel
  // The notice comes after the window has been brought up to date, so the user sees the
  // new state behind it; otherwise it comes first.
  bool noticeLast = false;
  std::optional<std::string> logLine;  // added to the operation log before anything else
  bool reloadStructureTree = false;
  bool refreshShownObject = false;
  // Shown afresh keeping the grid's current cell, the panel's record and field: a write
  // moved a record's row id or changed the count, so grid rows and cursor records no
  // longer denote the same rows.
  bool refreshShownObjectInPlace = false;
  bool clearDataView = false;
  bool closeDesigner = false;
  std::optional<GridCell> currentCell;  // the designer cell to make current

  bool failed() const { return result == Result::Failed; }
};

inline Outcome succeeded(Notice notice) {
  Outcome outcome;
  outcome.notice = std::move(notice);
  return outcome;
}

inline Outcome succeeded(std::string text, int flags) {
  return succeeded(plainNotice(std::move(text), flags));
}

inline Outcome failed(Notice notice) {
  Outcome outcome = succeeded(std::move(notice));
  outcome.result = Outcome::Result::Failed;
  return outcome;
}

inline Outcome failed(std::string text, int flags) {
  return failed(plainNotice(std::move(text), flags));
}

// The user said no or closed a box: nothing happened and nothing more is said.
inline Outcome cancelled() {
  Outcome outcome;
  outcome.result = Outcome::Result::Cancelled;
  return outcome;
}

// The input box: prompt, own title (empty for the default title) and initial
// text; nullopt when the user cancels.
struct InputRequest {
  std::string prompt;
  std::string title;
  std::string initialText;
};
using AskText = std::function<std::optional<std::string>(const InputRequest&)>;

// A question box with the given flags; true only when the answer is Yes.
using AskYes = std::function<bool(const std::string& question, int flags)>;

}  // namespace tabulor
