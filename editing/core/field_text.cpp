// The field panel's texts read as the values it writes, without widgets.

#include "editing/core/field_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

namespace tabulor {
namespace {

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view skipBlanks(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size() && isBlank(text[at])) ++at;
  return text.substr(at);
}

std::size_t digitsFrom(std::string_view text, std::size_t at) {
  std::size_t end = at;
  while (end < text.size() && isDigit(text[end])) ++end;
  return end;
}

// Length of the unsigned decimal number at the start of text: digits, an optional fraction
// and an optional exponent; 0 when there is none. At least one digit must stand before or
// after the point, and an exponent counts only with digits of its own.
std::size_t unsignedNumberLength(std::string_view text) {
  const std::size_t integral = digitsFrom(text, 0);
  std::size_t end = integral;
  if (end < text.size() && text[end] == '.') {
    const std::size_t fraction = digitsFrom(text, end + 1);
    if (integral > 0 || fraction > end + 1) end = fraction;
  }
  if (end == 0) return 0;
  if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
    std::size_t exponent = end + 1;
    if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-')) ++exponent;
    const std::size_t exponentEnd = digitsFrom(text, exponent);
    if (exponentEnd > exponent) end = exponentEnd;
  }
  return end;
}

// Decimal order of the unsigned number at the start of text, of the given length: its value
// lies in [10^(order - 1), 10^order). Only its sign matters, for a value beyond the range of
// a double, so the exponent is read saturated.
long long decimalOrder(std::string_view text, std::size_t length) {
  const std::string_view number = text.substr(0, length);
  const std::size_t mark = number.find_first_of("eE");
  const std::string_view mantissa = number.substr(0, mark);
  long long exponent = 0;
  if (mark != std::string_view::npos) {
    std::size_t at = mark + 1;
    const bool negative = number[at] == '-';
    if (number[at] == '+' || negative) ++at;
    for (; at < number.size(); ++at)
      exponent = std::min(exponent * 10 + (number[at] - '0'), 1'000'000'000LL);
    if (negative) exponent = -exponent;
  }
  const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
  const std::size_t first = mantissa.find_first_not_of("0.");
  if (first == std::string_view::npos) return 0;
  const long long shift = static_cast<long long>(point) - static_cast<long long>(first);
  return (first < point ? shift : shift + 1) + exponent;
}

}  // namespace

double textToNumber(std::string_view text) {
  text = skipBlanks(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  const std::size_t length = unsignedNumberLength(text);
  double value = 0;
  // from_chars reports an out-of-range magnitude as an error and leaves the value alone:
  // atof gives infinity for too large and 0 for too small, written with an exponent or not.
  const auto [end, error] = std::from_chars(text.data(), text.data() + length, value);
  static_cast<void>(end);
  if (error == std::errc::result_out_of_range)
    value = decimalOrder(text, length) <= 0 ? 0.0 : HUGE_VAL;
  return negative ? -value : value;
}

FieldValue integerPageValue(std::string_view text) {
  std::string_view digits = skipBlanks(text);
  const bool negative = !digits.empty() && digits.front() == '-';
  if (!digits.empty() && (negative || digits.front() == '+')) digits.remove_prefix(1);
  std::uint64_t magnitude = 0;
  const auto [end, error] =
      std::from_chars(digits.data(), digits.data() + digits.size(), magnitude);
  const bool whole = !digits.empty() && digitsFrom(digits, 0) == digits.size() &&
                     error == std::errc() && end == digits.data() + digits.size();
  constexpr std::uint64_t kLargest = std::numeric_limits<std::int64_t>::max();
  if (whole && magnitude <= kLargest + (negative ? 1 : 0))
    return static_cast<std::int64_t>(negative ? 0 - magnitude : magnitude);
  return textToNumber(text);
}

std::string textBeforeZero(std::string_view bytes) {
  return std::string(bytes.substr(0, bytes.find('\0')));
}

}  // namespace tabulor
