#include "console/notice.h"

#include "sqlitedb/sqlite_db.h"
#include "sqlitedb/text_scanning.h"

namespace tabulor {

Notice makeNotice(std::string_view text, int flags, std::string_view title) {
  return Notice{programText(text), programText(title), flags};
}

Notice dbErrorNotice(std::string_view message, const SqliteDB& db) {
  Notice notice = makeNotice(message, MessageFlags::ErrorIcon, "错误：");
  notice.text += programText("错误信息如下：\r\n\r\n") + db.errorText();
  return notice;
}

}  // namespace tabulor
