// QString to and from program text, a file's text for a box, and paths as the system spells them.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

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

// The text of a file (its bytes up to the first zero byte) for a text box: program text,
// or GB18030 when it is not valid program text; nullopt when it is neither.
std::optional<QString> fromFileText(std::string_view bytes);

// What the user is told when a file's text is neither.
QString unreadableFileTextMessage(const QString& path);

// A path as the file system spells it: the bytes Qt hands the system for it on Linux, its
// UTF-16 on Windows (desktop_linux.cpp, desktop_windows.cpp).
std::filesystem::path nativePath(const QString& path);

}  // namespace tabulor
