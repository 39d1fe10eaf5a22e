#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "editing/core/field_text.h"
#include "sqlitedb/text_scanning.h"

namespace tabulor {
namespace {

TEST(TextToNumber, ReadsTheLongestDecimalPrefixLikeAtof) {
  const struct {
    const char* text;
    double value;
  } cases[] = {
      {"12.5", 12.5}, {"  -3e2x", -300}, {"+7", 7},     {".5", 0.5},     {"5.", 5},     {"1e", 1},
      {"1e+", 1},     {"2E-1", 0.2},     {"12abc", 12}, {"-", 0},        {"", 0},       {"abc", 0},
      {"--1", 0},     {".", 0},          {"-.e1", 0},   {"\t\n 42", 42}, {"1e-400", 0}, {"007", 7},
  };
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(textToNumber(c.text), c.value) << c.text;
  EXPECT_TRUE(std::isinf(textToNumber("1e400")));
  EXPECT_TRUE(std::signbit(textToNumber("-1e400")));
}

// Beyond the range of a double, the magnitude decides, however the number is written.
TEST(TextToNumber, OutOfRangeGivesZeroBelowAndInfinityAboveLikeAtof) {
  const std::string zeros(400, '0');
  const struct {
    std::string text;
    double value;
  } cases[] = {
      {"0." + zeros + "1", 0.0},          {"-0." + zeros + "1", -0.0},      {"0.00001e-400", 0.0},
      {"1" + zeros + "e-800", 0.0},       {"1" + zeros, HUGE_VAL},          {"0.1e400", HUGE_VAL},
      {"0." + zeros + "1e800", HUGE_VAL}, {"-1" + zeros + ".5", -HUGE_VAL},
  };
  for (const auto& c : cases) {
    const double value = textToNumber(c.text);
    EXPECT_EQ(value, c.value) << c.text;
    EXPECT_EQ(std::signbit(value), std::signbit(c.value)) << c.text;
  }
}

TEST(IntegerPageValue, WholeNumbersOf64BitsStayExactOthersConvertAsNumbers) {
  constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  const struct {
    const char* text;
    FieldValue value;
  } cases[] = {
      {"9007199254740993", std::int64_t{9007199254740993}},
      {"-9223372036854775808", kMin},
      {"9223372036854775807", kMax},
      {" +42", std::int64_t{42}},
      {"-0", std::int64_t{0}},
      {"9223372036854775808", 9223372036854775808.0},
      {"-9223372036854775809", -9223372036854775809.0},
      {"12.5", 12.5},
      {"12abc", 12.0},
      {"42 ", 42.0},
      {"+-5", 0.0},
      {"-", 0.0},
      {"", 0.0},
  };
  for (const auto& c : cases) EXPECT_EQ(integerPageValue(c.text), c.value) << c.text;
}

TEST(TextBeforeZero, StopsAtTheFirstZeroByte) {
  EXPECT_EQ(textBeforeZero(std::string_view("ab\0cd", 5)), "ab");
  EXPECT_EQ(textBeforeZero("abc"), "abc");
  EXPECT_EQ(textBeforeZero(std::string_view("\0x", 2)), "");
}

}  // namespace
}  // namespace tabulor
