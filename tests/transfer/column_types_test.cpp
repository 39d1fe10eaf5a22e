#include "transfer/core/column_types.h"

#include <gtest/gtest.h>

#include <vector>

#include "schema/core/field_types.h"
#include "sqlitedb/text_scanning.h"

namespace tabulor::testing {
namespace {

using namespace tabulor::transfer;

struct TypeCase {
  std::vector<const char*> values;
  ColumnType type;
};

TEST(ColumnTypes, FollowEveryValueOfTheColumn) {
  const TypeCase cases[] = {
      {{"1", "-2", "0", ""}, ColumnType::Integer},
      {{"9223372036854775807", "-9223372036854775808"}, ColumnType::Integer},
      {{"007"}, ColumnType::Text},  // a leading zero is kept only as text
      {{"+5"}, ColumnType::Text},
      {{" 5"}, ColumnType::Text},
      {{"-0"}, ColumnType::Text},
      {{"9223372036854775808"}, ColumnType::Text},  // past 64 bits: digits kept whole
      {{"62220212345678901234"}, ColumnType::Text},
      {{"1", "2.5", "3"}, ColumnType::Decimal},
      {{"1e3", "-0.5", "0.30000000000000004"}, ColumnType::Decimal},
      {{"0.123456789012345678"}, ColumnType::Text},  // more digits than a double holds
      {{"1.", ".5"}, ColumnType::Text},
      {{"2.5", "abc", "3"}, ColumnType::Text},
      {{}, ColumnType::Text},
      {{"", ""}, ColumnType::Text},
  };
  for (const TypeCase& c : cases) {
    ColumnTypeGuess guess;
    std::string shown;
    for (const char* value : c.values) {
      guess.see(value);
      shown += std::string(value) + " ";
    }
    EXPECT_EQ(guess.type(), c.type) << shown;
  }
}

// 修改表 must read a new table's types back as the designer's own.
TEST(ColumnTypes, AreTheDesignersTypes) {
  const std::pair<ColumnType, const char*> cases[] = {{ColumnType::Integer, "整数型"},
                                                      {ColumnType::Decimal, "小数型"},
                                                      {ColumnType::Text, "文本型"}};
  for (const auto& [type, name] : cases)
    EXPECT_EQ(schema::recognizeDeclaredType(designerSqlType(type)), programTextFromUtf8(name));
}

}  // namespace
}  // namespace tabulor::testing
