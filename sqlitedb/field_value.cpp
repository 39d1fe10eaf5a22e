// FieldRef's ways of naming a column: by name, or by number cut toward zero.

#include "sqlitedb/field_value.h"

#include <cmath>
#include <limits>
#include <utility>

namespace tabulor {

FieldRef::FieldRef(std::string name) : target(std::move(name)) {}
FieldRef::FieldRef(const char* name) : target(std::string(name ? name : "")) {}
FieldRef::FieldRef(int number) : target(number) {}
FieldRef::FieldRef(double number)
    : target(std::isfinite(number) && number > 0 && number < std::numeric_limits<int>::max()
                 ? static_cast<int>(std::trunc(number))
                 : 0) {}

}  // namespace tabulor
