// FieldValue, one typed value of one field, and FieldRef, a column by name or by number.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace tabulor {

using Bytes = std::vector<unsigned char>;

// A single typed value written to or read from one field; for reading, the kind of
// the destination decides how the column is read.
using FieldValue = std::variant<bool, std::int32_t, std::int64_t, double, std::string, Bytes>;

// A column by name (ASCII case ignored) or by 1-based number.
struct FieldRef {
  FieldRef(std::string name);
  FieldRef(const char* name);
  FieldRef(int number);
  FieldRef(double number);  // cut toward zero

  std::variant<std::string, int> target;
};

}  // namespace tabulor
