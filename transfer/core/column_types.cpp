// The designer's column types a new table gets from the values a file holds.

#include "transfer/core/column_types.h"

#include "schema/core/field_types.h"
#include "sqlitedb/sqlite_db.h"

namespace tabulor::transfer {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Digits from at, as many as there are; returns how many.
std::size_t digitsAt(std::string_view text, std::size_t at) {
  std::size_t count = 0;
  while (at + count < text.size() && isDigit(text[at + count])) ++count;
  return count;
}

}  // namespace

bool isIntegerText(std::string_view text) {
  const bool negative = !text.empty() && text.front() == '-';
  if (negative) text.remove_prefix(1);
  if (text.empty() || digitsAt(text, 0) != text.size()) return false;
  if (text.front() == '0') return text.size() == 1 && !negative;
  if (text.size() != 19) return text.size() < 19;
  // Nineteen digits: up to 9223372036854775807, and one more below zero.
  return text <= "9223372036854775807" || (negative && text == "9223372036854775808");
}

bool isDecimalText(std::string_view text) {
  std::size_t at = !text.empty() && text.front() == '-' ? 1 : 0;
  const std::size_t whole = digitsAt(text, at);
  if (whole == 0 || (whole > 1 && text[at] == '0')) return false;
  std::size_t significant = text[at] == '0' ? 0 : whole;
  at += whole;
  if (at < text.size() && text[at] == '.') {
    const std::size_t fraction = digitsAt(text, at + 1);
    if (fraction == 0) return false;
    std::size_t leadingZeros = 0;
    if (significant == 0)
      while (leadingZeros < fraction && text[at + 1 + leadingZeros] == '0') ++leadingZeros;
    significant += fraction - leadingZeros;
    at += 1 + fraction;
  }
  if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
    ++at;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
    const std::size_t exponent = digitsAt(text, at);
    if (exponent == 0 || exponent > 3) return false;
    at += exponent;
  }
  // Digits alone are a number only as an integer (longer ones stay text, whole); with a point
  // or an exponent, up to the 17 digits that tell any two doubles apart.
  const bool wholeOnly = at == whole + (text.front() == '-' ? 1 : 0);
  return at == text.size() && !wholeOnly && significant <= 17;
}

void ColumnTypeGuess::see(std::string_view value) {
  if (value.empty()) return;
  seen_ = true;
  if (!allNumbers_) return;
  if (isIntegerText(value)) return;
  allIntegers_ = false;
  allNumbers_ = isDecimalText(value);
}

ColumnType ColumnTypeGuess::type() const {
  if (!seen_ || !allNumbers_) return ColumnType::Text;
  return allIntegers_ ? ColumnType::Integer : ColumnType::Decimal;
}

std::string designerSqlType(ColumnType type) {
  switch (type) {
    case ColumnType::Integer:
      return sqlTypeForCode(schema::kIntegerCode, 0);
    case ColumnType::Decimal:
      return sqlTypeForCode(schema::kDecimalCode, 0);
    default:
      return sqlTypeForCode(schema::kTextCode, 0);
  }
}

}  // namespace tabulor::transfer
