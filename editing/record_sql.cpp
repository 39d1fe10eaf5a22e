// The SQL of the record commands: an empty record, and the fixed test record.

#include "editing/record_sql.h"

#include <vector>

#include "sqlitedb/text_scanning.h"

namespace tabulor {
std::string emptyRecordSql(const std::string& table, std::int32_t fieldCount) {
  std::string list;
  for (std::int32_t i = 0; i < fieldCount; ++i) list += "null,";
  if (!list.empty()) list.pop_back();
  return "insert into " + table + " values(" + list + ")";
}

std::string accountInsertSql(const std::string& account, const std::string& createDate) {
  const std::vector<std::string> values = {account,
                                           "480267",
                                           "Zhang San",
                                           createDate,
                                           "0",
                                           "0",
                                           "0",
                                           "0",
                                           "0",
                                           "1970/1/1",
                                           "0",
                                           "0",
                                           "zhangsan@example.com",
                                           "1",
                                           "11",
                                           "111",
                                           "1111",
                                           "0"};
  std::string sql =
      "insert into TBL_ACCOUNT(FCH_ACCOUNT,FCH_PASSWORD,FCH_USERNAME,FCH_CREATEDATE,"
      "FCH_UPDATEDATE,FCH_DELETED,FCH_PERMISSION,FCH_GAMEGOLD,FCH_SSNO,FCH_BIRTHDAY,FCH_PHONE,"
      "FCH_MOBILEPHONE,FCH_EMAIL,FCH_QUIZ1,FCH_ANSWER1,FCH_QUIZ2,FCH_ANSWER2,FCH_SERIALNUM) "
      "values('";
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (i > 0) sql += "','";
    sql += doubledQuotes(values[i]);
  }
  return sql + "')";
}

}  // namespace tabulor
