#include "schema/core/field_types.h"

#include <gtest/gtest.h>

#include <limits>

#include "schema_fixture.h"
#include "sqlitedb/sqlite_db.h"

namespace tabulor::schema {
namespace {

class FieldTypes : public ::testing::Test {
  testing::CodePageScope page_{"UTF-8"};
};

TEST_F(FieldTypes, ChoiceListInDropDownOrder) {
  const std::vector<std::string> expected{"",         "整数型",     "小数型",          "文本型",
                                          "字节集型", "（通用型）", "主键（自增字段）"};
  EXPECT_EQ(designerTypeChoices(), expected);
}

TEST_F(FieldTypes, NamesToCodesToSqlTypes) {
  struct Case {
    std::string name;
    std::int32_t maxLength;
    std::optional<std::int32_t> code;
    std::optional<std::string> sqlType;
  } cases[] = {
      {"主键（自增字段）", 0, -1, "INTEGER PRIMARY KEY"},
      {"", 0, 0, ""},
      {"（通用型）", 5, 0, ""},
      {"整数型", 30, 3, "INTEGER"},
      {"小数型", 0, 5, "NUMERIC"},
      {"文本型", 20, 10, "TEXT(20)"},
      {"文本型", 0, 10, "TEXT"},
      {"字节集型", 0, 11, "BLOB"},
      {"文本", 0, std::nullopt, std::nullopt},
      {" 文本型", 0, std::nullopt, std::nullopt},
      {"TEXT", 0, std::nullopt, std::nullopt},
  };
  for (const Case& c : cases) {
    const std::optional<std::int32_t> code = designerTypeCode(c.name);
    EXPECT_EQ(code, c.code) << c.name;
    EXPECT_EQ(code ? std::optional(sqlTypeForCode(*code, c.maxLength)) : std::nullopt, c.sqlType)
        << c.name;
  }
}

TEST_F(FieldTypes, DeclaredTypesReadBackBySubstring) {
  struct Case {
    std::string declared;
    std::string name;
  } cases[] = {
      {"TEXT", "文本型"},
      {"VARCHAR", "文本型"},
      {"ext", "文本型"},
      {"integer", "整数型"},
      {"INT64", "整数型"},
      {"NUMERIC", "小数型"},
      {"Double", "小数型"},
      {"BLOB", "字节集型"},
      {"INTEGER PRIMARY KEY", "主键（自增字段）"},
      {"INTEGER PRIMARY KEY AUTOINCREMENT", ""},
      {"REAL", ""},
      {"DATETIME", ""},
      {"NONE", ""},
      {"none", ""},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(recognizeDeclaredType(c.declared), c.name) << c.declared;
}

TEST_F(FieldTypes, EverySqlTypeTheDesignerWritesReadsBackToItsName) {
  for (const std::string& name : designerTypeChoices()) {
    const std::string sqlType = sqlTypeForCode(*designerTypeCode(name), 0);
    const std::string expected = name == "（通用型）" ? "" : name;
    EXPECT_EQ(recognizeDeclaredType(sqlType), expected) << name;
  }
}

TEST_F(FieldTypes, WholeNumbersReadAsAtofAndCutTowardZero) {
  struct Case {
    std::string text;
    std::int32_t value;
  } cases[] = {
      {"20", 20},
      {"1.9", 1},
      {"-1", -1},
      {"-0.5", 0},
      {"abc", 0},
      {"", 0},
      {"12abc", 12},
      {"1e3", 1000},
      {"1e20", std::numeric_limits<std::int32_t>::max()},
      {"-1e20", std::numeric_limits<std::int32_t>::min()},
      {"nan", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(readWholeNumber(c.text), c.value) << c.text;
}

}  // namespace
}  // namespace tabulor::schema
