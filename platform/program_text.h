#pragma once

#include <string>

#include <QString>

namespace tabulor {

// The one conversion pair between Qt's QString and program text (8-bit text in the
// program code page). Both go through the access layer's UTF-8 conversions, so
// widgets and the engine agree on the codec.

// Program text to QString; text that cannot be converted gives an empty QString.
QString fromProgramText(const std::string& text);

// QString to program text; sets *ok (when given) to false, and returns an empty
// text, when a character has no representation in the program code page.
std::string toProgramText(const QString& text, bool* ok = nullptr);

}  // namespace tabulor
