// Notice, the message box a window-free routine asks for, and the database error box.
#pragma once

#include <string>
#include <string_view>

#include "report/message_flags.h"
#include "sqlitedb/text_scanning.h"

namespace tabulor {

// One message box as the user sees it. Qt-free, so the window-free routines build the
// boxes they want; showNotice (platform/prompts.h) shows one. Text and title are program
// text; an empty title shows the box's default title.
struct Notice {
  std::string text;
  std::string title;
  int flags = MessageFlags::Ok;

  bool operator==(const Notice&) const = default;
};

// A notice of fixed texts, written in UTF-8 in the sources.
inline Notice makeNotice(std::string_view text, int flags, std::string_view title = "信息：") {
  return {programTextFromUtf8(text), programTextFromUtf8(title), flags};
}

// The message, then the words that introduce the detail, a blank line and the detail; all
// program text.
inline std::string withErrorDetail(const std::string& message, const std::string& detail) {
  return message + programTextFromUtf8("错误信息如下：\r\n\r\n") + detail;
}

// The database error box: the message, then the engine's text. Pass the text as it stood
// when the command failed: any later engine call replaces the connection's own.
inline Notice dbErrorNotice(const std::string& message, const std::string& engineText) {
  return {withErrorDetail(message, engineText), programTextFromUtf8("错误："),
          MessageFlags::ErrorIcon};
}

}  // namespace tabulor
