// How the schema commands reach the windows: the prompts in force, and applying an outcome.
#pragma once

#include "schema/outcome.h"

namespace tabulor {
class MainWindow;
}

namespace tabulor::schema {

// The input box and the question box of the prompts in force, in program text.
AskText askTextWithPrompts();
AskYes askYesWithPrompts();

// Shows the notice, then brings the main window up to date as the outcome asks.
void applyOutcome(MainWindow& window, const Outcome& outcome);

}  // namespace tabulor::schema
