// The designer's field types: the choice list, their codes, and reading a declared SQL type.

#include "schema/core/field_types.h"

#include <cmath>
#include <cstdlib>
#include <limits>

#include "sqlitedb/sqlite_db.h"
#include "sqlitedb/text_scanning.h"

namespace tabulor::schema {
namespace {

struct TypeChoice {
  const char* utf8Name;
  std::int32_t code;
};

// The order of the designer's drop-down list.
constexpr TypeChoice kChoices[] = {
    {"", kNoTypeCode},
    {"整数型", kIntegerCode},
    {"小数型", kDecimalCode},
    {"文本型", kTextCode},
    {"字节集型", kBlobCode},
    {"（通用型）", kNoTypeCode},
    {"主键（自增字段）", kPrimaryKeyCode},
};

}  // namespace

std::vector<std::string> designerTypeChoices() {
  std::vector<std::string> names;
  for (const TypeChoice& choice : kChoices) names.push_back(programTextFromUtf8(choice.utf8Name));
  return names;
}

std::optional<std::int32_t> designerTypeCode(std::string_view typeName) {
  for (const TypeChoice& choice : kChoices)
    if (typeName == programTextFromUtf8(choice.utf8Name)) return choice.code;
  return std::nullopt;
}

std::string recognizeDeclaredType(std::string_view declaredType) {
  if (declaredType.empty() || declaredType == "none") return {};
  struct TypeList {
    const char* words;
    const char* utf8Name;
  };
  static constexpr TypeList kLists[] = {
      {"text,char,varchar,", "文本型"},
      {"int,integer,int64,short,byte,", "整数型"},
      {"numeric,double,float,", "小数型"},
      {"blob,", "字节集型"},
      {"integer primary key,", "主键（自增字段）"},
  };
  const std::string wanted = std::string(declaredType) + ",";
  for (const TypeList& list : kLists)
    if (findText(list.words, wanted, 1, true) > 0) return programTextFromUtf8(list.utf8Name);
  return {};
}

std::int32_t readWholeNumber(const std::string& text) {
  const double value = std::trunc(std::atof(text.c_str()));
  if (std::isnan(value)) return 0;
  constexpr auto kLowest = std::numeric_limits<std::int32_t>::min();
  constexpr auto kHighest = std::numeric_limits<std::int32_t>::max();
  if (value <= kLowest) return kLowest;
  if (value >= kHighest) return kHighest;
  return static_cast<std::int32_t>(value);
}

}  // namespace tabulor::schema
