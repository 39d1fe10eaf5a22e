// The field panel's texts read as the values it writes, without widgets.
#pragma once

#include <string>
#include <string_view>

#include "sqlitedb/field_value.h"

namespace tabulor {

// Conversions of the field panel's texts into the values it writes. Plain program text in,
// no widgets involved.

// The number a text reads as, by the rule of the standard atof: leading blanks skipped, the
// longest prefix that is a decimal number (sign, digits, fraction, exponent) gives the value,
// anything else 0. Independent of the process locale.
double textToNumber(std::string_view text);

// The value "写入" on the integer page writes: a whole number that fits in 64 bits as a
// 64-bit integer, so 9007199254740993 is stored exactly; any other text as textToNumber.
FieldValue integerPageValue(std::string_view text);

// The text a loaded file gives: its bytes up to the first zero byte.
std::string textBeforeZero(std::string_view bytes);

}  // namespace tabulor
