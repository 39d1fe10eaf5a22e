#pragma once

#include <string>
#include <string_view>

#include "platform/message_flags.h"

namespace tabulor {

class SqliteDB;

// One message box as the user sees it; text and title are program text.
struct Notice {
  std::string text;
  std::string title;
  int flags = MessageFlags::Ok;

  bool operator==(const Notice&) const = default;
};

// text and title are fixed texts (UTF-8 in the source).
Notice makeNotice(std::string_view text, int flags, std::string_view title = "信息：");

// The database error box: the message, then the engine's last error text of db. Read it
// straight after the failing call: any later engine call replaces it.
Notice dbErrorNotice(std::string_view message, const SqliteDB& db);

}  // namespace tabulor
