// What a schema command leaves for its window to do, and how it asks the user.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "platform/notice.h"

namespace tabulor::schema {

struct GridCell {
  int row = 0;
  int column = 0;

  bool operator==(const GridCell&) const = default;
};

// A box with the default title.
inline Notice plainNotice(std::string text, int flags) { return {std::move(text), {}, flags}; }

// What a command leaves for its window to do once it has returned.
struct Outcome {
  std::optional<Notice> notice;  // none when the user cancelled
  // The notice comes after the window has been brought up to date, so the user sees the
  // new state behind it; otherwise it comes first.
  bool noticeLast = false;
  bool reloadStructureTree = false;
  bool refreshShownObject = false;
  bool clearDataView = false;
  bool closeDesigner = false;
  std::optional<GridCell> currentCell;  // the designer cell to make current
};

// The input box: prompt, own title (empty for the default title) and initial
// text; nullopt when the user cancels.
struct InputRequest {
  std::string prompt;
  std::string title;
  std::string initialText;
};
using AskText = std::function<std::optional<std::string>(const InputRequest&)>;

inline Outcome noticeOnly(Notice notice) {
  Outcome outcome;
  outcome.notice = std::move(notice);
  return outcome;
}

inline Outcome noticeOnly(std::string text, int flags) {
  return noticeOnly(plainNotice(std::move(text), flags));
}

// A question box with the given flags; true only when the answer is Yes.
using AskYes = std::function<bool(const std::string& question, int flags)>;

}  // namespace tabulor::schema
