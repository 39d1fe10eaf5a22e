#pragma once

#include <string>
#include <string_view>

namespace tabulor {

class SqliteDB;

// Message-box styles, as the platform's message box flag values.
inline constexpr int kNoticePlain = 0;
inline constexpr int kNoticeError = 0x10;
inline constexpr int kNoticeInformation = 0x40;

// One message box as the user sees it; text and title are program text.
struct Notice {
  std::string text;
  std::string title;
  int flags = kNoticePlain;

  bool operator==(const Notice&) const = default;
};

// text and title are fixed texts (UTF-8 in the source).
Notice makeNotice(std::string_view text, int flags, std::string_view title = "信息：");

// The database error box: the message, then the engine's last error text of db. Read it
// straight after the failing call: any later engine call replaces it.
Notice dbErrorNotice(std::string_view message, const SqliteDB& db);

}  // namespace tabulor
