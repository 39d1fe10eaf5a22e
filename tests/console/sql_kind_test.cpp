#include "console/core/sql_kind.h"

#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "support/code_page_scope.h"

namespace tabulor {
namespace {

using testing::CodePageScope;

struct KindCase {
  const char* codePage;
  std::string sql;
  std::optional<SqlKind> kind;
};

TEST(DetectSqlKind, FollowsTheFirstWordAfterBlanks) {
  constexpr auto query = SqlKind::Query;
  constexpr auto execute = SqlKind::Execute;
  const KindCase cases[] = {
      {"UTF-8", "select * from t", query},
      {"UTF-8", "  SELECT 1", query},
      {"UTF-8", "selection", query},
      {"UTF-8", "Update t set a = 1", execute},
      {"UTF-8", "delete from t", execute},
      {"UTF-8", " INSERT into t values (1)", execute},
      {"UTF-8", "create table t (a)", execute},
      {"UTF-8", "dropped", execute},
      {"UTF-8", "\xE3\x80\x80 select 1", query},
      {"UTF-8", "alter table t add b", std::nullopt},
      {"UTF-8", "pragma table_info(t)", std::nullopt},
      {"UTF-8", "", std::nullopt},
      {"UTF-8", "   ", std::nullopt},
      {"UTF-8", "sel", std::nullopt},
      {"UTF-8", "\tselect 1", std::nullopt},
      {"UTF-8", "\r\nselect 1", std::nullopt},
      {"UTF-8", "-- note\r\nselect 1", std::nullopt},
      {"UTF-8", "with x as (select 1) select * from x", std::nullopt},
      {"UTF-8",
       "\xEF\xBD\x93"
       "elect 1",
       std::nullopt},  // full-width s is no ASCII letter
      {"UTF-8", "\xA1\xA1select 1", std::nullopt},
      {"GBK", "\xA1\xA1 select 1", query},
      {"GBK", "\xA1\xA1\xA1\xA1update t", execute},
      {"GBK", "\xE3\x80\x80select 1", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.codePage << " \"" << c.sql << "\"");
    CodePageScope page(c.codePage);
    EXPECT_EQ(detectSqlKind(c.sql), c.kind);
  }
}

}  // namespace
}  // namespace tabulor
