// How the schema commands reach the windows: the prompts in force, and applying an outcome.

#include "schema/command_prompts.h"

#include "app/main_window.h"
#include "platform/prompts.h"
#include "platform/qstring_conversion.h"

namespace tabulor::schema {

AskText askTextWithPrompts() {
  return [](const InputRequest& request) -> std::optional<std::string> {
    const auto entered =
        prompts().inputBox(fromProgramText(request.prompt), fromProgramText(request.title),
                           fromProgramText(request.initialText));
    if (!entered) return std::nullopt;
    // A character the code page cannot hold leaves an empty text, which every
    // command refuses as such.
    return toProgramText(*entered);
  };
}

AskYes askYesWithPrompts() {
  return [](const std::string& question, int flags) {
    return prompts().messageBox(fromProgramText(question), flags) == Answer::Yes;
  };
}

void applyOutcome(MainWindow& window, const Outcome& outcome) {
  if (outcome.notice && !outcome.noticeLast) showNotice(*outcome.notice);
  if (outcome.reloadStructureTree) window.reloadStructureTree();
  if (outcome.refreshShownObject) window.refreshShownObject();
  if (outcome.clearDataView) window.clearDataView();
  if (outcome.notice && outcome.noticeLast) showNotice(*outcome.notice);
}

}  // namespace tabulor::schema
