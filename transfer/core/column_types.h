// The designer's column types a new table gets from the values a file holds.
#pragma once

#include <string>
#include <string_view>

namespace tabulor::transfer {

// The designer's 整数型, 小数型 and 文本型.
enum class ColumnType { Integer, Decimal, Text };

// A whole number written as the engine writes one (no sign but '-', no leading zero) that
// fits in 64 bits: stored as an integer it reads back as written.
bool isIntegerText(std::string_view text);
// A decimal number with a point or an exponent and at most 17 significant digits, as any
// double is written; a longer string of digits alone (a card number past 64 bits) is no
// number, so it stays text, whole.
bool isDecimalText(std::string_view text);

// Follows one column's values: 整数型 where every value is an integer, 小数型 where every
// value is a number, 文本型 otherwise. Empty fields say nothing; a column with no value
// at all is text.
class ColumnTypeGuess {
 public:
  void see(std::string_view value);
  ColumnType type() const;

 private:
  bool seen_ = false;
  bool allIntegers_ = true;
  bool allNumbers_ = true;
};

// The SQL type the designer writes for the type, so that 修改表 reads it back as the same.
std::string designerSqlType(ColumnType type);

}  // namespace tabulor::transfer
