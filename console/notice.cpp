#include "console/notice.h"

#include "sqlitedb/codepage.h"
#include "sqlitedb/sqlite_db.h"

namespace tabulor {

std::string programText(std::string_view utf8) {
  // Every fixed text of the program has a form in the program code page.
  return fromUtf8(utf8).value_or(std::string(utf8));
}

Notice makeNotice(std::string_view text, int flags, std::string_view title) {
  return Notice{programText(text), programText(title), flags};
}

Notice dbErrorNotice(std::string_view message, const SqliteDB& db) {
  Notice notice = makeNotice(message, kNoticeError, "错误：");
  notice.text += programText("错误信息如下：\r\n\r\n") + db.errorText();
  return notice;
}

}  // namespace tabulor
